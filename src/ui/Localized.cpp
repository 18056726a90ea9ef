#include "ui/Localized.h"

#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"

namespace qm {

QString localized(std::string_view key)
{
    return QString::fromStdString(Bundle::main().localizedString(key));
}

QString localizedFormat(std::string_view key, std::initializer_list<std::string_view> arguments)
{
    return QString::fromStdString(formatText(Bundle::main().localizedString(key), arguments));
}

} // namespace qm
