#include "ui/DefaultsBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include "foundation/UserDefaults.h"

namespace qm {

namespace {

// Shows the key's value through `show` now and after every change, until the widget goes.
template <typename Show>
void follow(QWidget& widget, UserDefaults& defaults, const std::string& key, Show show)
{
    show();
    const auto id = defaults.addObserver(key, [&widget, show](const std::string&, const auto&) {
        const QSignalBlocker blocker(widget);
        show();
    });
    QObject::connect(&widget, &QObject::destroyed, [&defaults, id] { defaults.removeObserver(id); });
}

} // namespace

void DefaultsBinding::bindCheckBox(QCheckBox& box, UserDefaults& defaults, std::string key)
{
    follow(box, defaults, key, [&box, &defaults, key] { box.setChecked(defaults.boolForKey(key)); });
    QObject::connect(&box, &QCheckBox::toggled, [&defaults, key](bool on) { defaults.setObject(key, PlistValue(on)); });
}

void DefaultsBinding::bindComboBoxData(QComboBox& box, UserDefaults& defaults, std::string key)
{
    follow(box, defaults, key, [&box, &defaults, key] {
        const int index = box.findData(QVariant::fromValue<qlonglong>(defaults.integerForKey(key)));
        box.setCurrentIndex(index < 0 ? 0 : index);
    });
    QObject::connect(&box, &QComboBox::activated, [&box, &defaults, key](int index) {
        defaults.setObject(key, PlistValue(static_cast<std::int64_t>(box.itemData(index).toLongLong())));
    });
}

void DefaultsBinding::bindSpinBox(QSpinBox& box, UserDefaults& defaults, std::string key)
{
    follow(box, defaults, key, [&box, &defaults, key] { box.setValue(static_cast<int>(defaults.integerForKey(key))); });
    QObject::connect(&box, &QSpinBox::valueChanged,
                     [&defaults, key](int value) { defaults.setObject(key, PlistValue(value)); });
}

void DefaultsBinding::bindDoubleSpinBox(QDoubleSpinBox& box, UserDefaults& defaults, std::string key)
{
    follow(box, defaults, key, [&box, &defaults, key] { box.setValue(defaults.doubleForKey(key)); });
    QObject::connect(&box, &QDoubleSpinBox::valueChanged,
                     [&defaults, key](double value) { defaults.setObject(key, PlistValue(value)); });
}

void DefaultsBinding::bindLineEdit(QLineEdit& field, UserDefaults& defaults, std::string key)
{
    follow(field, defaults, key, [&field, &defaults, key] {
        field.setText(QString::fromStdString(defaults.stringForKey(key).value_or("")));
    });
    QObject::connect(&field, &QLineEdit::editingFinished, [&field, &defaults, key] {
        const std::string text = field.text().toStdString();
        if (defaults.stringForKey(key).value_or("") == text)
            return;
        text.empty() ? defaults.removeObject(key) : defaults.setObject(key, PlistValue(text));
    });
}

void DefaultsBinding::enableWhile(QWidget& widget, UserDefaults& defaults, std::string key)
{
    follow(widget, defaults, key, [&widget, &defaults, key] { widget.setEnabled(defaults.boolForKey(key)); });
}

} // namespace qm
