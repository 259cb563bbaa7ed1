#pragma once
// The postal dictionary's tables, shared by the importer and the reader.
//
//   pref(code, name)                    prefectures
//   city(code, pref, name)              cities, wards, towns and villages
//   zip(zip, seq, city, town)           every seven-digit code, its towns in order
//   building(prefix, city, town)        five-digit prefixes of large buildings,
//                                       whose floors have codes of their own
//   place(city, key, zip)               a town by its comparable name, with
//                                       its lowest code ("" key: the city itself)
//   meta(key, value)                    "format" and the source's version

inline constexpr int kPostalFormat = 1;
inline constexpr char kPostalDictionaryName[] = "zenrook-postal.sqlite3";
