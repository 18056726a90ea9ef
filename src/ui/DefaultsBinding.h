#pragma once

#include <string>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace qm {

class UserDefaults;

// Controls that show a user default and write it on every edit; a change made elsewhere shows in
// the control at once. A binding ends with its control.
class DefaultsBinding {
public:
    static void bindCheckBox(QCheckBox& box, UserDefaults& defaults, std::string key);
    // The item whose data is the integer stored under the key (the first item when none is).
    static void bindComboBoxData(QComboBox& box, UserDefaults& defaults, std::string key);
    static void bindSpinBox(QSpinBox& box, UserDefaults& defaults, std::string key);
    static void bindDoubleSpinBox(QDoubleSpinBox& box, UserDefaults& defaults, std::string key);
    // Written when editing ends; an empty field removes the value.
    static void bindLineEdit(QLineEdit& field, UserDefaults& defaults, std::string key);

    // Enables the widget while the boolean default is true.
    static void enableWhile(QWidget& widget, UserDefaults& defaults, std::string key);
};

} // namespace qm
