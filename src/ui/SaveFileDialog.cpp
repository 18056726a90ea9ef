#include "ui/SaveFileDialog.h"

#include <QFileDialog>

#include "ui/Localized.h"

namespace qm {

void SaveFileDialog::ask(const std::string& suggestedPath, std::function<void(const std::string&)> chosen)
{
    auto* dialog = new QFileDialog(nullptr, localized("Save Credits Report"));
    dialog->setObjectName("SaveCreditsReport");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(localized("CSV files (*.csv)"));
    dialog->setDefaultSuffix("csv");
    dialog->selectFile(QString::fromStdString(suggestedPath));
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [chosen = std::move(chosen)](const QString& file) { chosen(file.toStdString()); });
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace qm
