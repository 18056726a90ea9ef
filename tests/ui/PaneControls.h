#pragma once

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QWidget>

namespace qm::test {

// The pane's control of that object name; null (and a failure) when there is none.
template <typename Control>
Control* control(QWidget& view, const QString& name)
{
    auto* found = view.findChild<Control*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// Chooses the item with that data as a user would.
inline void choose(QComboBox& popUp, const QVariant& data)
{
    const int index = popUp.findData(data);
    ASSERT_GE(index, 0) << popUp.objectName().toStdString() << ": no item with " << data.toString().toStdString();
    popUp.setCurrentIndex(index);
    emit popUp.activated(index);
}

// The file dialog the view has open; null when none is.
inline QFileDialog* openFileDialog(QWidget& view)
{
    QCoreApplication::processEvents();
    for (auto* dialog : view.findChildren<QFileDialog*>())
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

// Answers the open dialog with the file (typed into its name field), or cancels it when there is none.
inline void answerFileDialog(QWidget& view, const std::optional<std::string>& file)
{
    QFileDialog* dialog = openFileDialog(view);
    ASSERT_NE(dialog, nullptr);
    if (file) {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(*file)); // typed, as the focused field ignores selectFile
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, as its button runs it
    } else {
        dialog->reject();
    }
    QCoreApplication::processEvents();
}

} // namespace qm::test
