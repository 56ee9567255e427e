#include "run/frm_permissions.h"

#include <initializer_list>

#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/security.h"
#include "setacl/listing.h"

FrmPermissions::FrmPermissions(platform::Services& services)
    : Form("frmPermissions", "Current Permissions", 12000, 6555), services_(services) {
  txtNotes.setMultiLine(true);
  txtNotes.setReadOnly(true);
  setCancelButton(&cmdClose);
  cmdCopy.onClick = [this] { cmdCopy_Click(); };
  cmdClose.onClick = [this] { hide(); };
}

void FrmPermissions::ShowListing(const std::string& object, ObjectType type, const RunResult& listing) {
  std::vector<ListedObject> listed = ReadListing(listing.output);
  if (listed.empty() || !listing.outcome.succeeded())
    return ShowFailure(object, "The listing failed (" + OutcomeWords(listing.outcome) +
                                   "). SetACL.exe wrote:\r\n" + listing.output);
  const ListedObject& first = listed.front();
  auto descriptor = services_.security.Read(first.sddl);
  if (!descriptor)
    return ShowFailure(object, "The system reads no security descriptor in the listing:\r\n" +
                                   first.sddl);
  type = ListedType(first.type).value_or(type);
  bool container = type == ObjectType::Registry ||
                   (type == ObjectType::File && services_.files.FolderExists(object));
  ShowTable(first.path, TableOf(*descriptor, type, container, services_.security));
}

void FrmPermissions::ShowTable(const std::string& object, PermissionTable table) {
  table_ = std::move(table);
  lblOwner.setText("Owner: " + table_.owner);
  lblGroup.setText("Primary group: " + table_.group);
  lblInheritance.setText("Inheritance: " + table_.inheritance);
  std::vector<std::vector<std::string>> rows;
  for (const PermissionRow& row : table_.rows)
    rows.push_back({row.type, row.account, row.access, row.inherited, row.appliesTo});
  lvwEntries.setTable({std::begin(kPermissionColumns), std::end(kPermissionColumns)},
                      std::move(rows));
  std::string notes;
  for (const std::string& warning : table_.warnings) notes += "Warning: " + warning + "\r\n";
  if (notes.empty()) notes = "Nothing to warn of.";
  Show(object, true, notes);
}

void FrmPermissions::ShowFailure(const std::string& object, const std::string& why) {
  table_ = {};
  lvwEntries.setTable({}, {});
  Show(object, false, why);
}

// A failed listing shows no table at all, so none can pass for an empty one.
void FrmPermissions::Show(const std::string& object, bool listed, const std::string& notes) {
  lblObject.setText("Object: " + object);
  for (Control* part : std::initializer_list<Control*>{&lblOwner, &lblGroup, &lblInheritance,
                                                       &lblEntries, &lvwEntries, &cmdCopy})
    part->setVisible(listed);
  txtNotes.setText(notes);
  showModal();
}

void FrmPermissions::cmdCopy_Click() { services_.clipboard.SetText(TabSeparated(table_)); }
