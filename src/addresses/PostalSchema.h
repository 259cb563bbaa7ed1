#pragma once
// The postal dictionary's tables, shared by the importer and the reader.
// Postal codes are integers; every text key is in AddressText::comparable
// form.
//
//   meta(key, value)                  "format", "source", "version", "date"
//                                     (the data's own date), "codes", "towns",
//                                     "business"
//   area(id, pref, city)              a prefecture and city as written
//   zip(zip, seq, area, town, street, name)
//                                     every row of every code in the postal
//                                     service's order; street and name are
//                                     those of a business code, else ""
//   city(key, area)                   prefecture + city, and the city alone
//                                     or without its district where that
//                                     names one area only
//   town(area, key, zip)              a town's lowest ordinary code ("" key:
//                                     the city's own code)
//   building(area, town, name, floor, zip)
//                                     the floors of a high-rise building
//                                     under the town it stands in, and again
//                                     under its own town row with name "";
//                                     floor 0 is the basement or unknown floor
//   business(key, name, zip)          a business code by full address and name

inline constexpr int kPostalFormat = 2;
inline constexpr char kPostalDictionaryName[] = "zenrook-postal.sqlite3";
