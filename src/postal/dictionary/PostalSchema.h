#pragma once
// The postal dictionary's tables, shared by the importer and the reader.
// Postal codes are integers; every text key is in AddressText::comparable
// form (names of businesses in AddressText::companyKey form).
//
//   meta(key, value)                  "format", "source" (the files read), "version", "date"
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
//   block(area, key, zip, seq, note)  for a town of several codes, what the
//                                     official file writes after the town in
//                                     each of a code's rows: the blocks it
//                                     serves ("（１〜１９丁目）", "（その他）")
//   building(area, town, name, floor, zip)
//                                     the floors of a high-rise building
//                                     under the town it stands in, and again
//                                     under its own town row with name "";
//                                     floor 0 is the basement or unknown floor
//   business(area, town, numbers, name, zip, townName, street, shown, place)
//                                     a business code under its town (without
//                                     大字), the numbers of its street
//                                     ("2-8-1") and its name, with the town,
//                                     street and name as written, and its
//                                     town and street together
//   old(code)                         the codes of before 1998, three or five
//                                     digits: the post-office box group codes
//                                     ("NNN-8691", "NNNNN-91") are made from them

inline constexpr int kPostalFormat = 4;
inline constexpr char kPostalDictionaryName[] = "zenrook-postal.sqlite3";
