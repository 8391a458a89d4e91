#include "console/ClientListBridges.h"

namespace zorvi {

std::vector<std::string> TickedRowTargets::tickedClientIds() {
  std::vector<std::string> ids;
  for (const ClientRow& row : *clients_.snapshot()) {
    if (row.ticked) {
      ids.push_back(row.clientId());
    }
  }
  return ids;
}

}  // namespace zorvi
