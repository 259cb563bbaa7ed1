#pragma once
// The postal dictionary's tables, shared by the importer and the reader.
// Postal codes are integers; every text key is in AddressText::comparable
// form (names of businesses in AddressText::companyKey form).
//
//   meta(key, value)                  "format", "source", "version", "date"
//                                     (the data's own date), "codes", "towns",
//                                     "business"
//   area(id, pref, city)              a prefecture and city as written
//   zip(zip, seq, area, town, street, name)
//                                     every row of every code in the postal
//                                     service's order; street and name are
//                                     those of a business code, else ""
//   city(key, area)                   prefecture + city, prefecture + city
//                                     without its district (or a ward
//                                     without its city), the city alone and
//                                     without its district (or ward alone); a
//                                     key that names several areas has a row
//                                     for each
//   town(area, key, zip, name)        every ordinary code of a town, with the
//                                     town as written ("" key: the city's own
//                                     code)
//   block(area, key, zip, low, high)  the blocks (丁目 or 番地) a code of a
//                                     town serves, where the official files
//                                     say so; low = high = -1: the town's
//                                     other blocks
//   building(area, town, name, floor, zip)
//                                     the floors of a high-rise building
//                                     under the town it stands in, and again
//                                     under its own town row with name "";
//                                     floor 0 is the basement or unknown floor
//   business(area, town, numbers, name, zip, townName, street, shown)
//                                     a business code under its town (without
//                                     大字), the numbers of its street
//                                     ("2-8-1") and its name, with the town,
//                                     street and name as written

inline constexpr int kPostalFormat = 3;
inline constexpr char kPostalDictionaryName[] = "zenrook-postal.sqlite3";
