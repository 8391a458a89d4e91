#include "NvidiaReport.h"

#include <cstddef>

namespace zorvi::room {
namespace {

constexpr std::size_t COLON_COLUMN = 42;
constexpr char LINE_END[] = "\r\n";

class ReportWriter {
 public:
  void section(std::size_t indent, const std::string& name) { text_ += std::string(indent, ' ') + name + LINE_END; }

  void field(std::size_t indent, const std::string& name, const std::string& value) {
    std::string line = std::string(indent, ' ') + name;
    if (line.size() < COLON_COLUMN) {
      line.append(COLON_COLUMN - line.size(), ' ');
    }
    text_ += line + ": " + value + LINE_END;
  }

  void blank() { text_ += LINE_END; }

  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace

std::string nvidiaQueryReport(const GpuValues& values, const std::string& timestamp) {
  ReportWriter report;
  report.blank();
  report.section(0, "==============NVSMI LOG==============");
  report.blank();
  report.field(0, "Timestamp", timestamp);
  report.field(0, "Driver Version", values.driverVersion);
  report.field(0, "CUDA Version", "12.2");
  report.blank();
  report.field(0, "Attached GPUs", "1");
  report.section(0, "GPU 00000000:01:00.0");
  report.field(4, "Product Name", values.productName);
  report.field(4, "Product Brand", "GeForce");
  report.field(4, "Product Architecture", "Ampere");
  report.field(4, "Display Mode", "Enabled");
  report.field(4, "Display Active", "Enabled");
  report.field(4, "Persistence Mode", "N/A");
  report.field(4, "Addressing Mode", "N/A");
  report.section(4, "MIG Mode");
  report.field(8, "Current", "N/A");
  report.field(8, "Pending", "N/A");
  report.field(4, "Accounting Mode", "Disabled");
  report.field(4, "Accounting Mode Buffer Size", "4000");
  report.section(4, "Driver Model");
  report.field(8, "Current", "WDDM");
  report.field(8, "Pending", "WDDM");
  report.field(4, "Serial Number", "N/A");
  report.field(4, "GPU UUID", "GPU-3f1c2d7e-0b6a-4c1e-9d2f-5a8b7c6d4e21");
  report.field(4, "Minor Number", "N/A");
  report.field(4, "VBIOS Version", values.vbiosVersion);
  report.field(4, "MultiGPU Board", "No");
  report.field(4, "Board ID", "0x100");
  report.field(4, "GPU Part Number", "2503-300-A1");
  report.section(4, "Inforom Version");
  report.field(8, "Image Version", "G001.0000.03.03");
  report.field(8, "OEM Object", "2.0");
  report.field(8, "ECC Object", "N/A");
  report.field(8, "Power Management Object", "N/A");
  report.section(4, "GPU Operation Mode");
  report.field(8, "Current", "N/A");
  report.field(8, "Pending", "N/A");
  report.section(4, "PCI");
  report.field(8, "Bus", "0x01");
  report.field(8, "Device", "0x00");
  report.field(8, "Domain", "0x0000");
  report.field(8, "Device Id", "0x250310DE");
  report.field(8, "Bus Id", "00000000:01:00.0");
  report.field(4, "Fan Speed", "0 %");
  report.field(4, "Performance State", "P8");
  report.section(4, "FB Memory Usage");
  report.field(8, "Total", "12288 MiB");
  report.field(8, "Used", "512 MiB");
  report.field(8, "Free", "11776 MiB");
  report.section(4, "Temperature");
  report.field(8, "GPU Current Temp", "38 C");
  report.section(4, "Clocks");
  report.field(8, "Graphics", "210 MHz");
  report.field(8, "Memory", "405 MHz");
  report.blank();
  return report.text();
}

std::string nvidiaDriverFailure() {
  return "NVIDIA-SMI has failed because it couldn't communicate with the NVIDIA driver. Make sure that the latest "
         "NVIDIA driver is installed and running.\r\n\r\n";
}

}  // namespace zorvi::room
