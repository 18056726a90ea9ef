#include "EncodingChoices.h"

#include "metadata/textEncoding.h"

namespace qm {

const std::vector<std::pair<QString, QVariant>>& encodingChoices()
{
    static const auto choices = [] {
        std::vector<std::pair<QString, QVariant>> result;
        for (const auto& encoding : textEncoding::allTextEncodings())
            result.emplace_back(QString::fromStdString(encoding.name()),
                                QVariant::fromValue<qlonglong>(encoding.rawEncoding()));
        return result;
    }();
    return choices;
}

QComboBox* makeEncodingPopUp(const char* objectName)
{
    auto* popUp = new QComboBox;
    popUp->setObjectName(objectName);
    for (const auto& [name, number] : encodingChoices())
        popUp->addItem(name, number);
    return popUp;
}

} // namespace qm
