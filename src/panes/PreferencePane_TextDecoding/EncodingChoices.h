#pragma once

#include <utility>
#include <vector>

#include <QComboBox>
#include <QString>
#include <QVariant>

namespace qm {

// Every text encoding as a choice of a pop-up: its localized name, its number as item data.
const std::vector<std::pair<QString, QVariant>>& encodingChoices();
QComboBox* makeEncodingPopUp(const char* objectName);

} // namespace qm
