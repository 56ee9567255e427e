// Saves a picture of every window of the program, as the current font and
// DPI draw it, into the folder given: one BMP a window, named after it.
// Runs under wine on a virtual desktop (scripts/screenshot), with scripted
// services, so no window waits for an answer.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "backup/frm_backup.h"
#include "backup/frm_browse.h"
#include "backup/frm_changes.h"
#include "backup/frm_runs.h"
#include "editors/frm_ace.h"
#include "editors/frm_change.h"
#include "editors/frm_trustee.h"
#include "report/frm_tree_report.h"
#include "run/frm_permissions.h"
#include "setacl/call_reader.h"
#include "forms/win32/win32_backend.h"
#include "setup/frm_settings.h"
#include "tests/native/fakes.h"
#include "tests/win/native_window.h"

namespace {

void Settle(int milliseconds) {
  ULONGLONG end = GetTickCount64() + milliseconds;
  while (GetTickCount64() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(20);
  }
}

// The window as the screen shows it, title bar included, as a 24-bit BMP.
void Save(HWND hwnd, const std::wstring& path) {
  RECT r, desktop{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetWindowRect(hwnd, &r);
  IntersectRect(&r, &r, &desktop);  // a maximised window's frame lies off the screen
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  int stride = (w * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * h);
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  if (FILE* out = _wfopen(path.c_str(), L"wb")) {
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
  }
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// Windows draw in the message font: this face, this many pixels high.
void SetMessageFont(const std::wstring& face, int pixels) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW& font = metrics.lfMessageFont;
  if (!face.empty()) lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
  if (pixels) font.lfHeight = -pixels;
  SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
}

}  // namespace

// window_shots FOLDER [--font FACE] [--font-px N]
int wmain(int argc, wchar_t** argv) {
  std::wstring folder = argc > 1 ? argv[1] : L".";
  std::wstring face;
  int pixels = 0;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::wstring(argv[i]) == L"--font") face = argv[i + 1];
    if (std::wstring(argv[i]) == L"--font-px") pixels = _wtoi(argv[i + 1]);
  }
  if (!face.empty() || pixels) SetMessageFont(face, pixels);
  win32::Win32Backend backend(GetModuleHandleW(nullptr));
  Headless program(&backend);
  FrmMain& main = program.main;

  auto shoot = [&](forms::Form& form, const wchar_t* name) {
    Settle(700);
    Save(backend.window(&form), folder + L"\\" + name + L".bmp");
    std::printf("%ls\n", name);
  };
  // A window the main window opens modally, pictured while it is open.
  auto shootOpened = [&](forms::CommandButton& opener, auto window, const wchar_t* name) {
    native::WhileModal([&, window, name] {
      forms::Form& form = window();
      shoot(form, name);
      form.hide();
    });
    opener.userClick();
  };

  // Typed as a user would: the box shows it, and the key's release follows.
  auto typeInto = [&](forms::TextBox& box, const wchar_t* text) {
    SetWindowTextW(backend.control(box), text);
    box.userKeyUp(text[0]);
  };
  program.tree.children = {
      {"C:\\Data\\Projects", {{"Reports", true}, {"Plan.docx"}, {"Budget.xlsx"}, {"Temp", true}}},
      {"C:\\Data\\Projects\\Reports", {{"2025.docx"}, {"2026.docx"}}},
      {"C:\\Data\\Projects\\Temp", {{"draft.tmp"}}}};
  typeInto(main.txtObjName, L"C:\\Data\\Projects");
  // A composed command, so the call string and its explanation have something to say.
  main.cboRecursionFile.userPick(3);
  native::WhileModal([&] {
    FrmAce& editor = main.aceEditor();
    editor.txtName.userEdit("Users");
    editor.chkSo.userClick();
    editor.chkSc.userClick();
    editor.cboModeDacl.userPick(1);
    editor.cmdAdd.userClick();
  });
  main.cmdAce.userClick();
  typeInto(main.txtOwner, L"Administrators");
  main.cboRstchldrn.userPick(1);
  main.optSilentYes.userClick();
  shoot(main, L"main-window");
  FrmAce& ace = main.aceEditor();
  shootOpened(main.cmdAce, [&]() -> forms::Form& { return ace; }, L"ace-editor");
  // The advanced panel opened as the user opens it, in the shown window.
  program.dialogs.expect({"", "Leave Options Open For Changes", forms::Buttons::Ok,
                          forms::Icon::Information},
                         forms::Answer::Ok);
  shootOpened(main.cmdAce, [&]() -> forms::Form& {
    Settle(300);
    ace.cmdAdvanced.userClick();
    return ace;
  }, L"ace-editor-advanced");
  shootOpened(main.cmdTrst, [&]() -> forms::Form& { return main.trusteeEditor(); }, L"trustee-editor");
  shootOpened(main.cmdAceNum, [&]() -> forms::Form& { return main.listEditor(); }, L"list-editor");
  shootOpened(main.cmdBackup, [&]() -> forms::Form& { return main.backupWindow(); }, L"backup-window");
  program.files.files.insert({"D:\\Tools\\Backups\\data.txt", "D:\\Tools\\Backups\\users.txt"});
  shootOpened(main.cmdRestoreBrowse, [&]() -> forms::Form& { return main.backupChooser(); },
              L"backup-chooser");
  shootOpened(main.cmdProgOptions, [&]() -> forms::Form& { return main.settingsWindow(); },
              L"settings-window");
  // Audit entries: the modes the SACL takes.
  shootOpened(main.cmdAce, [&]() -> forms::Form& {
    ace.cboWhere.userPick(1);
    return ace;
  }, L"ace-editor-sacl");

  // The current permissions of the folder, as the stand-in would list them.
  program.files.folders.insert("C:\\Data\\Projects");
  program.processes.output = {
      "SetACL stand-in listing of \"C:\\Data\\Projects\": read from the system\r\n\r\n"
      "\"C:\\Data\\Projects\",1,\"O:BAG:SYD:AI(A;OICI;0x1301bf;;;S-1-5-21-1-2-3-1001)"
      "(D;OICI;FW;;;WD)(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIIOID;GA;;;CO)"
      "(A;OICIID;0x1200a9;;;BU)(A;CIID;0x100116;;;BU)S:AI(AU;OICISAFA;FA;;;WD)\"\r\n"};
  FrmPermissions& permissions = main.permissionsWindow();
  native::WhileModal([&] {
    shoot(permissions, L"current-permissions");
    permissions.hide();
  }, [&] { return permissions.visible(); });
  main.cmdCurrent.userClick();
  program.processes.finish();

  // A long run in the maximised window while it goes, between the listings
  // before and after it that the tool writes into the snapshot folder.
  auto listed = [&](const std::string& sddl) {
    std::string listing;
    for (const char* path : {"C:\\Data\\Projects", "C:\\Data\\Projects\\Reports",
                             "C:\\Data\\Projects\\Reports\\2025.docx",
                             "C:\\Data\\Projects\\Reports\\2026.docx", "C:\\Data\\Projects\\Plan.docx",
                             "C:\\Data\\Projects\\Budget.xlsx"})
      listing += std::string("\"") + path + "\",1,\"" + sddl + "\"\r\n";
    const std::string& line = program.processes.started.back();
    std::size_t file = line.find("-bckp \"") + 7;
    program.files.texts[line.substr(file, line.size() - file - 1)] = listing;
    program.processes.finish();
  };
  ShowWindow(backend.window(&main), SW_MAXIMIZE);
  const int kLines = 40000;
  program.dialogs.expect({"Are you sure you want to run this command?", "Run Command?",
                          forms::Buttons::YesNo},
                         forms::Answer::Yes);
  main.cmdSendIt.userClick();
  for (int i = 0; i < kLines; ++i)
    program.processes.output.push_back("C:\\Data\\Projects\\report" + std::to_string(i) +
                                       ".docx: DACL set\r\n");
  listed("O:S-1-5-21-1-2-3-1001G:SYD:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)");
  program.processes.deliver(kLines / 2);
  shoot(main, L"main-window-running");
  program.processes.finish();
  listed("O:BAG:SYD:AI(A;OICI;0x1301bf;;;BU)(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)");
  // After it, the window in its design size, and what the run changed.
  ShowWindow(backend.window(&main), SW_RESTORE);
  shoot(main, L"main-window-after-run");
  shootOpened(main.cmdWhatChanged, [&]() -> forms::Form& { return main.changesWindow(); },
              L"what-changed");

  // The runs, with two of an earlier start before this one.
  JournalRun failed{"1", "2026-12-04 09:12:05", "", Scope{"HKLM\\SOFTWARE\\Acme", ObjectType::Registry},
                    "C:\\SetACL\\SetACL.exe -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -actn setowner -ownr \"n:Bob;\""};
  failed.snapshot = "1 before.txt";
  failed.finished = JournalRun::Finished{{RunOutcome::Kind::Exited, 2}, 850};
  JournalRun interrupted{"2", "2026-12-04 09:14:40", "", failed.scope,
                         "C:\\SetACL\\SetACL.exe -on \"HKLM\\SOFTWARE\\Acme\" -ot reg -actn clear -clr \"dacl\""};
  interrupted.snapshot = "2 before.txt";
  std::string& journal = program.files.texts["D:\\Tools\\Backups\\Snapshots\\journal.txt"];
  journal = StartedRecord(failed) + SnapshotRecord(failed) + FinishedRecord(failed) +
            StartedRecord(interrupted) + SnapshotRecord(interrupted) + journal;
  shootOpened(main.cmdRuns, [&]() -> forms::Form& { return main.runsWindow(); }, L"runs");

  // The tree below the folder as the tool lists it: a folder blocked with an
  // account gone, a file with an entry of its own, one missing what its
  // folder gives, one holding what it no longer gives, an old folder.
  const std::string given = "(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)(A;OICIID;0x1200a9;;;BU)";
  const std::string tree =
      "\"C:\\Data\\Projects\",1,\"O:BAD:AI" + given + "\"\r\n"
      "\"C:\\Data\\Projects\\Reports\",1,\"O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;S-1-5-21-1-2-3-1001)\"\r\n"
      "\"C:\\Data\\Projects\\Reports\\2025.docx\",1,\"O:BAD:AI(A;ID;FA;;;BA)(A;ID;0x1301bf;;;S-1-5-21-1-2-3-1001)\"\r\n"
      "\"C:\\Data\\Projects\\Reports\\2026.docx\",1,\"O:BAD:AI(A;;FA;;;WD)(A;ID;FA;;;BA)(A;ID;0x1301bf;;;S-1-5-21-1-2-3-1001)\"\r\n"
      "\"C:\\Data\\Projects\\Plan.docx\",1,\"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)(A;ID;0x1200a9;;;BU)\"\r\n"
      "\"C:\\Data\\Projects\\Budget.xlsx\",1,\"O:BAD:AI(A;ID;FA;;;BA)(A;ID;FA;;;SY)\"\r\n"
      "\"C:\\Data\\Projects\\Archive\",1,\"O:BAD:AI" + given + "(A;OICIID;FA;;;AU)\"\r\n"
      "\"C:\\Data\\Projects\\Temp\",1,\"O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)\"\r\n"
      "\"C:\\Data\\Projects\\Temp\\draft.tmp\",1,\"O:BAD:(A;;FA;;;BA)(A;;FA;;;SY)(A;;0x1200a9;;;BU)\"\r\n";
  FrmTreeReport& report = main.treeReportWindow();
  native::WhileModal([&] {
    program.files.texts[ReadCall(program.processes.started.back()).backupFile] = tree;
    program.processes.finish();
    report.lvwDepartures.setSelectedRow(0);
    shoot(report, L"tree-report");
    report.hide();
  }, [&] { return report.visible(); });
  main.cmdTreeReport.userClick();
  return 0;
}
