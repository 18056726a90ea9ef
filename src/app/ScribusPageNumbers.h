#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace qm {

// How a Scribus document numbers its pages: its sections (<Sections><Section .../>), each a run of
// page indexes numbered from a start value in a numbering style.
class ScribusPageNumbers {
public:
    struct Section {
        std::size_t from = 0, to = 0; // page indexes, both included
        long start = 1;               // the number of the section's first page (its last when reversed)
        std::string type = "Type_1_2_3";
        bool reversed = false;
        char32_t fillCharacter = 0; // pads the number on the left up to fieldWidth characters
        std::size_t fieldWidth = 0;
    };

    void addSection(Section section) { mSections.push_back(std::move(section)); }

    // The page's number as printed: "3", "iv", "AB". A page outside every section is numbered
    // from 1 by its position, as in a document without sections.
    std::string label(std::size_t pageIndex) const;

    // A number in a style: Type_1_2_3 (and any style this reader does not know) decimal,
    // Type_1_2_3_ar Arabic-Indic digits, Type_i_ii_iii / Type_I_II_III roman, Type_a_b_c / Type_A_B_C
    // letters (a … z, aa, ab …), Type_asterix that many asterisks, Type_None nothing.
    static std::string formatted(long number, const std::string& type);

private:
    std::vector<Section> mSections;
};

} // namespace qm
