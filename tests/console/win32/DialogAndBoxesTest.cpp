// The save dialog and message box adapters, checked up to the system call: no modal window is
// shown in an automated test.

#include <windows.h>

#include <gtest/gtest.h>

#include "console/ExcelExport.h"
#include "console/win32/MessageBoxes.h"
#include "console/win32/SaveFileDialog.h"

namespace zorvi {
namespace {

TEST(SaveDialogRequest, CarriesTheExportSettings) {
  SaveDialogRequest request(exportDialogSettings(""), nullptr);
  const OPENFILENAMEW& dialog = request.dialog();
  EXPECT_EQ(dialog.lStructSize, sizeof(OPENFILENAMEW));
  EXPECT_EQ(dialog.hwndOwner, nullptr);
  const std::wstring filter(dialog.lpstrFilter, 22);
  EXPECT_EQ(filter, std::wstring(L"Excel\u6587\u4EF6(*.xls)\0*.xls\0\0", 22));
  EXPECT_EQ(dialog.nFilterIndex, 1u);
  EXPECT_STREQ(dialog.lpstrDefExt, L"xls");
  EXPECT_STREQ(dialog.lpstrInitialDir, L"%userprofile%\\Desktop");
  EXPECT_EQ(dialog.lpstrTitle, nullptr);  // the system's default title
  EXPECT_STREQ(dialog.lpstrFile, L"");
  EXPECT_GE(dialog.nMaxFile, static_cast<DWORD>(MAX_PATH));
  EXPECT_EQ(dialog.Flags & OFN_NOCHANGEDIR, static_cast<DWORD>(OFN_NOCHANGEDIR));
  EXPECT_EQ(dialog.Flags & (OFN_ALLOWMULTISELECT | OFN_OVERWRITEPROMPT), 0u);
}

TEST(SaveDialogRequest, NameFieldShowsThePreviousPathAndHasRoomForTheAnswer) {
  SaveDialogRequest request(exportDialogSettings("D:\\客户机.xls"), nullptr);
  EXPECT_STREQ(request.dialog().lpstrFile, L"D:\\\u5BA2\u6237\u673A.xls");
  EXPECT_EQ(request.fileName(), L"D:\\\u5BA2\u6237\u673A.xls");
  EXPECT_GT(request.dialog().nMaxFile, 1000u);
}

TEST(MessageBoxStyle, OkOnlyTaskModalWithTheIcon) {
  EXPECT_EQ(messageBoxStyle(MessageIcon::None), static_cast<unsigned>(MB_OK | MB_TASKMODAL));
  EXPECT_EQ(messageBoxStyle(MessageIcon::Information), static_cast<unsigned>(MB_OK | MB_TASKMODAL | MB_ICONINFORMATION));
  EXPECT_EQ(messageBoxStyle(MessageIcon::Warning), static_cast<unsigned>(MB_OK | MB_TASKMODAL | MB_ICONWARNING));
  EXPECT_EQ(messageBoxStyle(MessageIcon::Error), static_cast<unsigned>(MB_OK | MB_TASKMODAL | MB_ICONERROR));
}

}  // namespace
}  // namespace zorvi
