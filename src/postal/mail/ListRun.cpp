#include "postal/mail/ListRun.h"

#include "postal/addresses/AddressText.h"
#include "postal/mail/InParallel.h"
#include "postal/mail/PostalLookup.h"

using namespace Qt::StringLiterals;

namespace PostalCsv {

ListRun::ListRun(const QList<AddressComponent *> &components, const Options &options, const Io &io, Encoding encoding)
    : components_(components), options_(options), io_(io), encoding_(encoding), codec_(encoding),
      headerDone_(!options.header), widthKnown_(options.header)
{
    if (!options.header)
        resolve({});
}

bool ListRun::feed(const CsvRecords::Record &r)
{
    if (!headerDone_) {
        take(header(r));  // the rows after it are read by its names
    } else {
        batch_.append(r);
        if (batch_.size() >= kBatch)
            takeBatch();
    }
    return going();
}

Stop ListRun::finish(bool readFailed)
{
    if (going())
        takeBatch();
    if (going() && readFailed)
        halt(Stop::Kind::Io, u"cannot read the list"_s);
    if (going() && rows_ > 0 && rowsWithAddress_ == 0)
        io_.warn(0, u"no row has a column %1: every address was empty"_s.arg(*addressColumn_ + 1));
    if (going() && rows_ == 0)
        halt(Stop::Kind::Other, headerDone_ && options_.header ? u"the list has a header and no rows"_s
                                                               : u"the list is empty: no rows were read"_s);
    flush();
    return stop_;
}

void ListRun::halt(Stop::Kind kind, const QString &why)
{
    if (stop_.kind == Stop::Kind::None)
        stop_ = {kind, why};
}

void ListRun::take(const Done &d)
{
    rows_ += d.counted ? 1 : 0;
    rowsWithAddress_ += d.reaches ? 1 : 0;
    for (const QString &w : d.warnings)
        io_.warn(lineOf_, w);
    if (!d.stop.isEmpty())
        halt(Stop::Kind::Other, d.stop);
    if (!going())
        return;
    out_ += d.out;
    if (out_.size() > (1 << 16))
        flush();
}

void ListRun::flush()
{
    if (!out_.isEmpty() && !io_.write(out_))
        halt(Stop::Kind::Io, u"cannot write the list"_s);
    out_.clear();
}

bool ListRun::textOf(const QByteArray &value) const
{
    if (ascii(value))
        return !value.contains('\0');
    const std::optional<QString> text = codec_.decode(value);
    return text && !undefinedBytes(*text);
}

bool ListRun::undefinedBytes(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() == 0x80 || (c.unicode() >= 0xF8F0 && c.unicode() <= 0xF8F3);
    });
}

std::optional<QString> ListRun::readable(const QByteArray &value) const
{
    if (value.contains('\0'))
        return std::nullopt;
    return codec_.decode(value);
}

void ListRun::append(QByteArray &out, const QStringList &values, qint64 line, QString *stop) const
{
    for (const QString &v : values) {
        QString missing;
        const std::optional<QByteArray> bytes = codec_.encode(v, &missing);
        if (!bytes && stop->isEmpty())
            *stop = u"line %1: %2 cannot be written in %3, the list's encoding; stopped there"_s.arg(line).arg(
                missing, codec_.name());
        out += ',';
        CsvRecords::appendField(out, bytes.value_or(QByteArray()));
    }
}

void ListRun::resolve(const QStringList &names)
{
    addressColumn_ = columnOf(options_.address, names);
    if (!options_.zip.isEmpty())
        zipColumn_ = columnOf(options_.zip, names);
    auto hint = [&](const QString &given) {
        bool number = false;
        given.toInt(&number);
        return options_.header || number ? QString() : u" (a column's name needs --header)"_s;
    };
    if (!addressColumn_)
        halt(Stop::Kind::Column, u"no column %1 for the address%2"_s.arg(options_.address, hint(options_.address)));
    else if (!options_.zip.isEmpty() && !zipColumn_)
        halt(Stop::Kind::Column, u"no column %1 for the postal code%2"_s.arg(options_.zip, hint(options_.zip)));
}

ListRun::Done ListRun::header(const CsvRecords::Record &r)
{
    lineOf_ = r.line;
    if (r.continued || r.bodyEnd == 0)
        return {r.raw, {}, {}, false, false};
    if (!r.problem.isEmpty()) {
        // Its names unknown, no row after it could be told from it.
        halt(Stop::Kind::Other, u"line %1: the header cannot be read: %2"_s.arg(r.line).arg(r.problem));
        return {};
    }
    headerDone_ = true;
    QStringList names;
    for (const CsvRecords::Field &f : r.fields) {
        const std::optional<QString> name = codec_.decode(CsvRecords::value(r, f));
        if (!name) {
            // Its names unknown, no column could be told by its name.
            const QString other = encoding_ == Encoding::Utf8 ? u"cp932"_s : u"utf-8"_s;
            halt(Stop::Kind::Other, u"line %1: the header is not %2; if the list is in %3, say --encoding %3, "
                                    u"or leave --encoding out to have it told"_s.arg(r.line).arg(codec_.name(), other));
            return {};
        }
        names << name->trimmed();
    }
    resolve(names);
    width_ = r.fields.size();
    if (going() && ((addressColumn_ && *addressColumn_ >= width_) || (zipColumn_ && *zipColumn_ >= width_)))
        halt(Stop::Kind::Column,
             u"no column %1 in the header"_s.arg(*addressColumn_ >= width_ ? options_.address : options_.zip));
    QStringList added{u"郵便番号"_s, u"住所"_s, u"確度"_s, u"バーコード"_s};
    if (options_.fill)
        added.removeFirst();
    Done d;
    d.out = r.raw.first(r.bodyEnd);
    append(d.out, added, r.line, &d.stop);
    d.out += r.raw.sliced(r.bodyEnd);
    return d;
}

void ListRun::measure()
{
    widthKnown_ = true;
    qsizetype widest = 0;
    for (const CsvRecords::Record &r : std::as_const(batch_)) {
        if (!r.continued && r.problem.isEmpty() && r.bodyEnd > 0)
            widest = std::max(widest, r.fields.size());
    }
    if (widest > 0 && *addressColumn_ >= widest)
        halt(Stop::Kind::Column, u"no column %1 in the list: its rows have %2 at most"_s.arg(options_.address).arg(widest));
    width_ = std::max(addressColumn_.value_or(0), zipColumn_.value_or(0)) + 1;
}

void ListRun::takeBatch()
{
    if (!widthKnown_)
        measure();
    if (!going())
        return;
    QList<Done> done(batch_.size());
    inParallel(int(components_.size()), batch_.size(), [&](int worker, qsizetype i) {
        done[i] = row(batch_.at(i), *components_.at(worker));
    });
    for (qsizetype i = 0; i < batch_.size() && going(); ++i) {
        lineOf_ = batch_.at(i).line;
        take(done.at(i));
    }
    batch_.clear();
}

ListRun::Done ListRun::row(const CsvRecords::Record &r, AddressComponent &component) const
{
    Done d;
    d.out = r.raw;
    if (r.continued || (r.problem.isEmpty() && r.bodyEnd == 0))
        return d;  // the rest of a long row, already named; an empty line, no row
    d.counted = true;
    if (!r.problem.isEmpty()) {
        d.warnings << r.problem + u"; passed on as it came"_s;
        return d;
    }
    d.reaches = *addressColumn_ < r.fields.size();
    auto cell = [&](std::optional<qsizetype> column) -> std::optional<QString> {
        if (!column || *column >= r.fields.size())
            return QString();
        return readable(CsvRecords::value(r, r.fields.at(*column)));
    };
    const std::optional<QString> address = cell(addressColumn_), zip = cell(zipColumn_);
    if (!address || !zip) {
        d.warnings << u"a cell that is not %1, or holds a NUL byte; passed on as it came"_s.arg(codec_.name());
        return d;
    }
    if (AddressText::tooManyMarks(*address))
        d.warnings << PostalLookup::kMarksLeftOut;
    const AddressBarcode b = addressBarcode(component, *zip, *address);
    if (!b.answer.problem.isEmpty()) {
        d.stop = u"line %1: %2"_s.arg(r.line).arg(b.answer.problem);
        return d;
    }
    // A code given that is none, or not the address's: said, and the
    // row goes on with what can be told.
    if (!zip->trimmed().isEmpty() && AddressText::zipDigits(*zip).isEmpty())
        d.warnings << u"\"%1\" is no postal code; the address alone is looked up"_s.arg(zip->trimmed());
    else if (!b.codeGiven.isEmpty() && (b.answer.disagree || b.unknownCode || b.codesDisagree))
        d.warnings << b.reason;
    // Bytes the list's encoding has not in another cell: kept, and said.
    // The other cells are read only to tell whether they can be.
    QStringList bad;
    for (qsizetype i = 0; i < r.fields.size(); ++i) {
        const bool read = i == *addressColumn_ || i == zipColumn_;
        if (read ? undefinedBytes(i == *addressColumn_ ? *address : *zip) : !textOf(CsvRecords::value(r, r.fields.at(i))))
            bad << QString::number(i + 1);
    }
    if (!bad.isEmpty())
        d.warnings << u"cells not in %1, or with a NUL byte or a byte no text has (column %2); kept as they came"_s
                          .arg(codec_.name(), bad.join(u", "_s));
    d.out = filled(r, b, *address, *zip, &d.stop);
    return d;
}

QByteArray ListRun::filled(const CsvRecords::Record &r, const AddressBarcode &b, const QString &address, const QString &zip,
                  QString *stop) const
{
    // A code and an address that name different places: neither is
    // taken for the other.
    const AddressCandidate *first =
        b.answer.choices.isEmpty() || b.answer.disagree ? nullptr : &b.answer.choices.first();
    const QString code = first ? first->zip : QString();
    // 確度 says what the row's own code is worth, before how sure the
    // look-up was: two codes, a code of no place, a code with no address.
    const bool noAddress = address.trimmed().isEmpty() && !zip.trimmed().isEmpty();
    const QString certainty = b.codesDisagree ? u"codes disagree"_s
                              : b.unknownCode ? u"unknown code"_s
                              : noAddress     ? u"no address"_s
                                              : certaintyWord(b.answer.disagree ? Certainty::Ambiguous : b.answer.certainty);
    QStringList added{code, first ? first->address : QString(), certainty,
                      noAddress ? QString() : b.characters.join(u' ')};
    const QByteArray body = r.raw.first(r.bodyEnd);
    QByteArray out;
    out.reserve(r.raw.size() + 160);  // what is added, in most rows
    out += body;
    qsizetype cells = r.fields.size();
    if (options_.fill) {
        added.removeFirst();
        const bool sure = (b.answer.certainty == Certainty::Town || b.answer.certainty == Certainty::Business
                           || b.answer.certainty == Certainty::CatchAll)
                          && !b.codesDisagree;
        if (zip.trimmed().isEmpty() && sure) {
            QString missing;
            QByteArray filledCode;
            CsvRecords::appendField(filledCode, codec_.encode(code, &missing).value_or(QByteArray()));
            if (*zipColumn_ < cells) {
                const CsvRecords::Field &f = r.fields.at(*zipColumn_);
                out = body.first(f.begin) + filledCode + body.sliced(f.end);
            } else {
                out += QByteArray(*zipColumn_ - cells + 1, ',') + filledCode;
                cells = *zipColumn_ + 1;
            }
        }
    }
    // A row short of cells gets empty ones, so that what is added stands
    // in its columns.
    if (cells < width_)
        out += QByteArray(width_ - cells, ',');
    append(out, added, r.line, stop);
    return out + r.raw.sliced(r.bodyEnd);
}

}  // namespace PostalCsv
