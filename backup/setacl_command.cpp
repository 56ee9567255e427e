#include "backup/setacl_command.h"

#include "app/app.h"
#include "main/frm_main.h"
#include "run/command_line.h"
#include "run/setacl_program.h"

std::string ObjectCommand(App& app) {
  std::string command = SetAclProgram(app.programFolder() + "\\");
  command += " -on \"";
  command += BeforeClosingQuote(app.frmMain().txtObjName.text());
  command += "\" -ot ";
  command += app.state.ObjTypeCode;
  return command;
}

std::string BackupFileOption(const App& app, const std::string& name) {
  std::string option = " -bckp \"";
  option += app.backupFolder();
  option += "\\";
  option += BeforeClosingQuote(name);
  option += "\"";
  return option;
}
