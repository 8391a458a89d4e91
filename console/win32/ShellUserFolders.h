#pragma once
// The screenshot folder's two facts on Windows: the desktop directory from the shell
// (CSIDL_DESKTOPDIRECTORY) and the login name from the reader the caller hands in.

#include <functional>
#include <utility>
#include <string>

#include "console/Screenshots.h"

namespace zorvi {

// The current user's desktop directory in GBK; empty when the shell cannot say.
std::string shellDesktopDirectory();

class ShellUserFolders final : public UserFolders {
 public:
  using LoginNameReader = std::function<std::string()>;
  explicit ShellUserFolders(LoginNameReader readLoginName) : readLoginName_(std::move(readLoginName)) {}

  std::string desktopDirectory() const override { return shellDesktopDirectory(); }
  std::string loginName() const override { return readLoginName_(); }

 private:
  LoginNameReader readLoginName_;
};

}  // namespace zorvi
