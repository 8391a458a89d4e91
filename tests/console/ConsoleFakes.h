#pragma once
// Test doubles for the console's ports. They behave like the system where it matters: files live
// in folders that must exist, a new file cannot be created over an existing one, and every call
// that the order of steps depends on is written to a shared journal.

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "console/ExcelExport.h"
#include "console/MessageBoxes.h"
#include "console/SaveDialog.h"
#include "console/Screenshots.h"

namespace zorvi::test {

using Journal = std::vector<std::string>;

struct ShownBox {
  std::string text;
  std::string title;
  MessageIcon icon = MessageIcon::None;
  bool operator==(const ShownBox&) const = default;
};

class RecordingMessageBoxes final : public MessageBoxes {
 public:
  explicit RecordingMessageBoxes(Journal& journal) : journal_(journal) {}
  void showMessage(std::string_view text, std::string_view title, MessageIcon icon) override {
    journal_.push_back("box " + std::string(text));
    shown.push_back({std::string(text), std::string(title), icon});
  }
  std::vector<ShownBox> shown;

 private:
  Journal& journal_;
};

// Folders and files of one disk, Windows paths; the parent folder of a file is what comes before
// its last "\".
class FakeDisk final : public ExportFiles {
 public:
  explicit FakeDisk(Journal& journal) : journal_(journal) {}

  void addFolder(const std::string& folder) { folders.insert(folder); }

  bool exists(const std::string& path) const override {
    journal_.push_back("exists " + path);
    return files.contains(path) || folders.contains(path);
  }
  bool remove(const std::string& path) override {
    journal_.push_back("remove " + path);
    if (locked.contains(path)) {
      return false;
    }
    return files.erase(path) > 0;
  }
  bool writeNew(const std::string& path, std::span<const std::uint8_t> bytes) override {
    journal_.push_back("write " + path);
    if (files.contains(path) || folders.contains(path) || !folders.contains(parentOf(path)) || full) {
      return false;
    }
    files[path].assign(bytes.begin(), bytes.end());
    return true;
  }
  // The screenshot's file creation: replaces what is there, needs the folder.
  bool replace(const std::string& path, std::vector<std::uint8_t> bytes) {
    if (!folders.contains(parentOf(path)) || folders.contains(path)) {
      return false;
    }
    files[path] = std::move(bytes);
    return true;
  }

  static std::string parentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

  std::set<std::string> folders;
  std::map<std::string, std::vector<std::uint8_t>> files;
  std::set<std::string> locked;  // files that cannot be deleted (open in another program)
  bool full = false;             // every new file fails to be written

 private:
  Journal& journal_;
};

// The operator at the save dialog: answers with the next scripted path, or cancels.
class ScriptedSaveDialog final : public SaveDialog {
 public:
  explicit ScriptedSaveDialog(Journal& journal) : journal_(journal) {}
  std::optional<std::string> choosePath(const SaveDialogSettings& settings) override {
    journal_.push_back("dialog");
    shownWith.push_back(settings);
    if (whileOpen) {
      whileOpen();
    }
    std::optional<std::string> answer = answers.empty() ? std::nullopt : answers.front();
    if (!answers.empty()) {
      answers.erase(answers.begin());
    }
    return answer;
  }
  std::vector<std::optional<std::string>> answers;
  std::vector<SaveDialogSettings> shownWith;
  std::function<void()> whileOpen;  // what happens elsewhere while the dialog is open

 private:
  Journal& journal_;
};

class FakeClientList final : public ClientListReader {
 public:
  explicit FakeClientList(Journal& journal) : journal_(journal) {}
  std::size_t rowCount() const override {
    journal_.push_back("rows");
    return rows.size();
  }
  std::size_t columnCount() const override { return headings.size(); }
  std::string columnHeading(std::size_t column) const override {
    journal_.push_back("heading " + std::to_string(column));
    return headings.at(column);
  }
  std::string cellText(std::size_t row, std::size_t column) const override {
    rowsRead.insert(row);
    return rows.at(row).at(column);
  }

  std::vector<std::string> headings;
  std::vector<std::vector<std::string>> rows;
  mutable std::set<std::size_t> rowsRead;

 private:
  Journal& journal_;
};

}  // namespace zorvi::test
