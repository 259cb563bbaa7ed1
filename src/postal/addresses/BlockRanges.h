#pragma once
// Which addresses of a town a code serves, as the postal service's notes
// write it after the town: "（１〜１９丁目）", "（４丁目１〜２番・１０〜２７番、５丁目）",
// "（５１３３番地２〜５１８７番地）", "第１５地割〜第２１地割（鹿糠、小路合）",
// "（国見２３〜２９８番地）", "（丁目）", "（その他）"; and what an address
// writes after its town (a place, then numbers with their units), so that
// the numbers written pick the code.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace BlockRanges {

// The units a number of an address is written with; those of one kind
// compare alike (番地 and 番), None (a dash, "の") compares with any.
enum class Unit : quint8 { None, Chome, Banchi, Go, Chiwari, Jo, Sen, Ku };

struct Number {
    int value = 0;
    Unit unit = Unit::None;
};

// What follows a town in an address, in comparable form: a place named
// first ("国見" of "国見25番地"), then its numbers ("25番地3" is 25 番地, 3).
struct Written {
    QString place;
    QList<Number> numbers;
    QString after;  // what follows the numbers ("当楽" of "４４地割当楽")
};
Written written(QStringView afterTown);

// One of the alternatives a note lists.
struct Part {
    QString place;             // comparable; "" for none
    QList<Number> low, high;   // the numbers' bounds; none: the place or the unit alone
    bool eachLevel = false;    // each number within its own bounds ("西５〜８線７９〜１１０番地"),
                               // else from one address to another ("５１３３番地２〜５１８７番地")
    Unit unitOnly = Unit::None;  // "（丁目）": the addresses numbered in this unit
    bool placeOtherwise = false; // "国見その他": the place's addresses no other part names
    QStringList within;          // places a bracket after the numbers names: "４４地割（当楽、後口山）"
};

struct Note {
    QList<Part> parts;
    bool otherwise = false;    // "（その他）", or no note: what the town's other codes leave
};

// The note as the official file writes it after the town, brackets and all.
Note parse(QStringView note);

// How a note fits what an address writes after its town: not at all, maybe
// (the address stops short of what the note tells apart), or surely, the
// more specific the higher the score.
struct Fit {
    int score = 0;  // of the most specific part that surely fits; 0: none
    int maybe = 0;  // of the most specific part that may fit; 0: none
};
Fit fit(const Note &note, const Written &written);

}  // namespace BlockRanges
