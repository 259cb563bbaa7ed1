#include "mainwindow/FormDefinition.h"

#include <Qt>

namespace FormDefinition {

const std::array<Button, 7> kButtons{{
    {8, u"終了(&F12)", nullptr, {14400, -15, 1800, 315}, 9, Qt::Key_F12},
    {0, u"初期化 (&F2)", u"住所又は郵便番号から地図を検索します", {-15, -15, 1800, 315}, 8, Qt::Key_F2},
    {7, u"ヘルプ(&F10)", nullptr, {12585, -15, 1800, 315}, 7, Qt::Key_F10},
    {4, u"会社等で検索(F7)", u"GoogleMapのｻｲﾄで会社等から検索します", {7185, -15, 1800, 315}, 6, Qt::Key_F7},
    {1, u"住所検索  (&F4)", u"住所又は郵便番号から地図を検索します", {1785, -15, 1800, 315}, 4, Qt::Key_F4},
    {6, u"CLIP BOARD(&F9)", nullptr, {10785, -15, 1800, 315}, 3, Qt::Key_F9},
    {2, u"地図住所検索  (&F5)", u"GoogleMapのｻｲﾄで住所から検索します", {3585, -15, 1800, 315}, 2, Qt::Key_F5},
}};

}  // namespace FormDefinition
