#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quorvel {

struct CountryRow {
    std::string_view code; // two capital letters
    std::string_view name; // English name as shown to the user
};

// Every code the program knows, in code order.
std::span<const CountryRow> CountryTable();

// The English name of a two-letter code (capital letters, exact match); empty for any other code.
std::string CountryNameFromCode(std::string_view code);

} // namespace quorvel
