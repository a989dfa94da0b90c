#pragma once

#include <QString>

#include <functional>

class QDialog;
class QLabel;
class QVBoxLayout;

namespace kestrum {

// The foot of a form whose settings can be tried before they are kept: where no keyring
// answers, the warning that the password goes to the settings file; the report of the last
// test; OK, Cancel and Test. Test runs `test` on the form as it stands, with the busy cursor
// while it waits, and shows what it says. The form's text fields are made wide enough for a
// 40-character server URL. Returns the report's label.
QLabel* addTestedFormFoot(QDialog& dialog, QVBoxLayout& layout, bool passwordInSettingsFile,
                          std::function<QString()> test);

}  // namespace kestrum
