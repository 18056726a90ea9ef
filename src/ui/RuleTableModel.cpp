#include "ui/RuleTableModel.h"

#include <QStringList>

#include "textgen/cIPTCCodeWithExtras.h"
#include "ui/Localized.h"

namespace qm {

namespace {

using Fields = cIPTCCodeWithExtras;

bool isCheckColumn(int column)
{
    return column >= RuleTableModel::CaseSensitiveColumn;
}

bool isTextColumn(int column)
{
    return column == RuleTableModel::ValuesColumn || column == RuleTableModel::PrefixColumn ||
           column == RuleTableModel::SuffixColumn;
}

QString text(const std::optional<std::string>& value)
{
    return value ? QString::fromStdString(*value) : QString();
}

std::optional<std::string> optionalText(const QVariant& value)
{
    const QString text = value.toString();
    return text.isEmpty() ? std::nullopt : std::optional(text.toStdString());
}

RuleTableModel::Choice fieldChoice(const cIPTCCode& code)
{
    return {QString::fromStdString(Fields(code).name().value_or("")), RuleTableModel::codeValue(code)};
}

// The artificial fields first, then every dataset by name.
std::vector<RuleTableModel::Choice> fieldChoices(std::initializer_list<Fields::ArtificialField> artificial)
{
    std::vector<RuleTableModel::Choice> choices;
    for (const auto field : artificial)
        choices.push_back(fieldChoice(Fields::artificialCode(field)));
    for (const auto& code : cIPTCCode::allCodesSortedByName())
        choices.push_back(fieldChoice(code));
    return choices;
}

std::vector<RuleTableModel::Choice> numberChoices(std::initializer_list<std::int64_t> numbers,
                                                  std::optional<std::string> (*title)(std::int64_t))
{
    std::vector<RuleTableModel::Choice> choices;
    for (const auto number : numbers)
        choices.push_back({localized(title(number).value_or("")), QVariant::fromValue<qint64>(number)});
    return choices;
}

const char* columnTitle(int column)
{
    static constexpr const char* titles[] = {"If field", "Condition", "Values", "Take", "From field", "Prefix",
                                             "Suffix", "Add", "Aa", "Trim", "Stop", "Prefix after text"};
    return titles[column];
}

} // namespace

qint64 RuleTableModel::codeValue(const cIPTCCode& code)
{
    return (static_cast<qint64>(code.recordType().value_or(0)) << 32) | static_cast<quint32>(code.dataSetCode().value_or(0));
}

cIPTCCode RuleTableModel::codeOfValue(qint64 value)
{
    return cIPTCCode(static_cast<std::int32_t>(value >> 32), static_cast<std::int32_t>(value & 0xFFFFFFFF));
}

QString RuleTableModel::valuesText(const std::optional<PlistArray>& values)
{
    QStringList pieces;
    for (const auto& entry : values.value_or(PlistArray{})) {
        const PlistValue* text = entry.find("text");
        if (!text || !text->string())
            continue;
        QString piece = QString::fromStdString(*text->string());
        piece.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('|'), QLatin1String("\\|"));
        pieces.append(piece);
    }
    return pieces.join(QLatin1Char('|'));
}

std::optional<PlistArray> RuleTableModel::valuesOfText(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    PlistArray values;
    QString piece;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text[at];
        if (character == QLatin1Char('\\') && at + 1 < text.size())
            piece.append(text[++at]);
        else if (character == QLatin1Char('|')) {
            values.push_back(PlistDictionary{{"text", piece.toStdString()}});
            piece.clear();
        } else
            piece.append(character);
    }
    values.push_back(PlistDictionary{{"text", piece.toStdString()}});
    return values;
}

std::vector<RuleTableModel::Choice> RuleTableModel::choicesOf(int column)
{
    switch (column) {
    case ConditionalFieldColumn:
        return fieldChoices({Fields::imageFileNameField, Fields::anyIPTCField, Fields::allIPTCFields, Fields::noIPTCFields});
    case ExtractedFieldColumn: return fieldChoices({Fields::noIPTCFields, Fields::matchedIPTCField});
    case ConditionColumn: return numberChoices({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, iptcTextConcatSpec::conditionTitle);
    case TextPartColumn:
        return numberChoices({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}, iptcTextConcatSpec::textPartTitle);
    case UnicityColumn: return numberChoices({0, 1, 3, 4, 5}, iptcTextConcatSpec::unicityTitle);
    default: return {};
    }
}

void RuleTableModel::setEditedSpec(textBlockSpec::Pointer spec)
{
    beginResetModel();
    mSpec = std::move(spec);
    endResetModel();
}

iptcTextConcatSpec::Array RuleTableModel::rules() const
{
    return mSpec ? mSpec->textConcatSpecs().value_or(iptcTextConcatSpec::Array{}) : iptcTextConcatSpec::Array{};
}

void RuleTableModel::setRules(iptcTextConcatSpec::Array rules)
{
    mSpec->setTextConcatSpecs(std::move(rules));
    changed();
}

int RuleTableModel::insertRuleAfter(int row)
{
    if (!mSpec)
        return -1;
    auto all = rules();
    const int at = row >= 0 && row < static_cast<int>(all.size()) ? row + 1 : static_cast<int>(all.size());
    beginInsertRows({}, at, at);
    all.insert(all.begin() + at, iptcTextConcatSpec::create());
    setRules(std::move(all));
    endInsertRows();
    return at;
}

void RuleTableModel::removeRule(int row)
{
    auto all = rules();
    if (row < 0 || row >= static_cast<int>(all.size()))
        return;
    beginRemoveRows({}, row, row);
    all.erase(all.begin() + row);
    setRules(std::move(all));
    endRemoveRows();
}

int RuleTableModel::moveRule(int row, int step)
{
    auto all = rules();
    const int to = row + step;
    if (row < 0 || row >= static_cast<int>(all.size()) || to < 0 || to >= static_cast<int>(all.size()))
        return row;
    beginMoveRows({}, row, row, {}, step > 0 ? to + 1 : to);
    std::swap(all[static_cast<std::size_t>(row)], all[static_cast<std::size_t>(to)]);
    setRules(std::move(all));
    endMoveRows();
    return to;
}

int RuleTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rules().size());
}

int RuleTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RuleTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::ToolTipRole && section == ValuesColumn)
        return localized("The values the condition looks for, separated by |. Write \\| for a | inside a value, "
                         "and \\\\ for a backslash.");
    if (role != Qt::DisplayRole)
        return {};
    return localized(columnTitle(section));
}

QVariant RuleTableModel::valueOf(const iptcTextConcatSpec& rule, int column) const
{
    switch (column) {
    case ConditionalFieldColumn: return rule.conditionalIPTCField() ? codeValue(*rule.conditionalIPTCField()) : QVariant();
    case ConditionColumn: return QVariant::fromValue<qint64>(rule.condition());
    case ValuesColumn: return valuesText(rule.conditionalValueArray());
    case TextPartColumn: return QVariant::fromValue<qint64>(rule.IPTCTextToExtract());
    case ExtractedFieldColumn: return rule.IPTCField() ? codeValue(*rule.IPTCField()) : QVariant();
    case PrefixColumn: return text(rule.prefix());
    case SuffixColumn: return text(rule.suffix());
    case UnicityColumn: return QVariant::fromValue<qint64>(rule.unicity());
    case CaseSensitiveColumn: return rule.caseSensitive();
    case TrimColumn: return rule.trim();
    case StopColumn: return rule.breakIfConditionIsTrue();
    default: return rule.prefixRequiresPreviousText();
    }
}

QVariant RuleTableModel::data(const QModelIndex& index, int role) const
{
    const auto all = rules();
    if (!index.isValid() || index.row() >= static_cast<int>(all.size()))
        return {};
    const QVariant value = valueOf(*all[static_cast<std::size_t>(index.row())], index.column());
    if (isCheckColumn(index.column()))
        return role == Qt::CheckStateRole ? QVariant(value.toBool() ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role == Qt::EditRole || (role == Qt::DisplayRole && isTextColumn(index.column())))
        return value;
    if (role != Qt::DisplayRole)
        return {};
    for (const Choice& choice : choicesOf(index.column()))
        if (choice.value == value)
            return choice.title;
    return {};
}

void RuleTableModel::store(iptcTextConcatSpec& rule, int column, const QVariant& value)
{
    switch (column) {
    case ConditionalFieldColumn: rule.setConditionalIPTCField(codeOfValue(value.toLongLong())); break;
    case ConditionColumn: rule.setCondition(value.toLongLong()); break;
    case ValuesColumn: rule.setConditionalValueArray(valuesOfText(value.toString())); break;
    case TextPartColumn: rule.setIPTCTextToExtract(value.toLongLong()); break;
    case ExtractedFieldColumn: rule.setIPTCField(codeOfValue(value.toLongLong())); break;
    case PrefixColumn: rule.setPrefix(optionalText(value)); break;
    case SuffixColumn: rule.setSuffix(optionalText(value)); break;
    case UnicityColumn: rule.setUnicity(value.toLongLong()); break;
    case CaseSensitiveColumn: rule.setCaseSensitive(value.toBool()); break;
    case TrimColumn: rule.setTrim(value.toBool()); break;
    case StopColumn: rule.setBreakIfConditionIsTrue(value.toBool()); break;
    default: rule.setPrefixRequiresPreviousText(value.toBool()); break;
    }
}

bool RuleTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const auto all = rules();
    if (!index.isValid() || index.row() >= static_cast<int>(all.size()))
        return false;
    const bool checkRole = role == Qt::CheckStateRole && isCheckColumn(index.column());
    if (!checkRole && role != Qt::EditRole)
        return false;
    // Leaving a cell unchanged stores nothing.
    if (index.column() == ValuesColumn && valueOf(*all[static_cast<std::size_t>(index.row())], ValuesColumn) == value)
        return true;
    store(*all[static_cast<std::size_t>(index.row())], index.column(),
          checkRole ? QVariant(value.toInt() == Qt::Checked) : value);
    emit dataChanged(index, index);
    changed();
    return true;
}

Qt::ItemFlags RuleTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return base | (isCheckColumn(index.column()) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

void RuleTableModel::changed()
{
    if (mChanged)
        mChanged();
}

} // namespace qm
