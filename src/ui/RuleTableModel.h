#pragma once

#include <functional>
#include <vector>

#include <QAbstractTableModel>

#include "textgen/textBlockSpec.h"

namespace qm {

// The rules of one text block as the rule editor's table: one row per rule in evaluation order.
// Edits go straight into the rules; `changed` hears of each one.
class RuleTableModel : public QAbstractTableModel {
public:
    enum Column {
        ConditionalFieldColumn,
        ConditionColumn, // "Condition"
        ValuesColumn,
        TextPartColumn, // "IPTCpart"
        ExtractedFieldColumn,
        PrefixColumn,
        SuffixColumn,
        UnicityColumn, // "unicity"
        CaseSensitiveColumn,
        TrimColumn,
        StopColumn,
        PrefixRequiresTextColumn,
        ColumnCount
    };
    // A pop-up column's choices: titles and the values stored (numbers, or codes as codeValue).
    struct Choice {
        QString title;
        QVariant value;
    };

    static std::vector<Choice> choicesOf(int column);
    // The Values cell's form, shown and typed alike: the values separated by "|", a "|" or "\"
    // inside a value written with a "\" before it. No text is no values.
    static QString valuesText(const std::optional<PlistArray>& values);
    static std::optional<PlistArray> valuesOfText(const QString& text);
    static qint64 codeValue(const cIPTCCode& code);
    static cIPTCCode codeOfValue(qint64 value);

    void setEditedSpec(textBlockSpec::Pointer spec);
    const textBlockSpec::Pointer& editedSpec() const { return mSpec; }
    void setChangedHandler(std::function<void()> changed) { mChanged = std::move(changed); }

    // A new rule with the defaults, after `row` (at the end for -1); its row.
    int insertRuleAfter(int row);
    void removeRule(int row);
    // Moves a rule one place up (-1) or down (+1); its new row.
    int moveRule(int row, int step);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    iptcTextConcatSpec::Array rules() const;
    void setRules(iptcTextConcatSpec::Array rules);
    QVariant valueOf(const iptcTextConcatSpec& rule, int column) const;
    void store(iptcTextConcatSpec& rule, int column, const QVariant& value);
    void changed();

    textBlockSpec::Pointer mSpec;
    std::function<void()> mChanged;
};

} // namespace qm
