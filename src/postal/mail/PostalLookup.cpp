#include "postal/mail/PostalLookup.h"

#include "postal/addresses/AddressComponent.h"
#include "postal/addresses/AddressText.h"
#include "postal/mail/InParallel.h"

#include <QStringDecoder>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace PostalLookup {

const QString kMarksLeftOut = u"more than 30 combining marks on one character: those past 30 left out"_s;

bool isPostalCode(const QString &query)
{
    // Digits and what may stand between them, no more than a code's seven;
    // anything else is an address, perhaps with a code in front of it
    // ("〒100-0013 1-3-2"), as barcode and csv take it.
    int digits = 0;
    for (const QChar c : query) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= 0xFF10 && u <= 0xFF19))
            ++digits;
        else if (!AddressText::isZipSeparator(c))
            return false;
    }
    return digits > 0 && digits <= 7;
}

namespace {

void appendRecord(QByteArray *out, const QByteArray &prefix, const QString &zip, const QString &address,
                  const QString &company, const QString &certainty)
{
    *out += prefix;
    *out += zip.toUtf8();
    *out += '\t';
    *out += address.toUtf8();
    *out += '\t';
    *out += company.toUtf8();
    *out += '\t';
    *out += certainty.toUtf8();
    *out += '\n';
}

// Why a line cannot be read, or "".
QString unreadable(const QByteArray &line, QString *query)
{
    if (line.contains('\0'))
        return u"holds a NUL byte"_s;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *query = utf8(line);
    if (utf8.hasError())
        return u"not valid UTF-8"_s;
    return QString();
}

}  // namespace

bool eachLine(const Io &io, const Answer &answer)
{
    QByteArray line;
    qint64 number = 0;
    while (io.read(&line)) {
        ++number;
        QString query;
        const QString why = unreadable(line, &query);
        if (!why.isEmpty())
            io.warn(number, why);
        if (!io.write(answer(number, why.isEmpty() ? &query : nullptr)))
            return false;
    }
    return true;
}

namespace {

// One line's answer and what is to be said of it.
struct Answered {
    QByteArray out;
    QStringList warnings;
};

Answered answerOne(AddressComponent &component, bool all, qint64 number, const QString *query)
{
    Answered a;
    const QByteArray prefix = all ? QByteArray::number(number) + '\t' : QByteArray();
    if (query && query->contains(u'\t')) {
        a.warnings << u"holds a tab"_s;
        query = nullptr;
    }
    if (query && AddressText::tooManyMarks(*query))
        a.warnings << kMarksLeftOut;
    if (!query) {
        appendRecord(&a.out, prefix, QString(), QString(), QString(), QString());
        return a;
    }
    QString zip, address, company;
    (isPostalCode(*query) ? zip : address) = *query;
    const AddressAnswer answer = all ? component.FindAll(zip, address, company) : component.Find(zip, address, company, 1);
    if (!answer.problem.isEmpty()) {
        a.warnings << answer.problem;
        appendRecord(&a.out, prefix, QString(), QString(), QString(), QString());
    } else if (answer.choices.isEmpty()) {
        appendRecord(&a.out, prefix, zip, address, company, certaintyWord(Certainty::NotFound));
    } else if (!all) {
        const AddressCandidate &c = answer.choices.first();
        appendRecord(&a.out, prefix, c.zip, c.address, c.company, certaintyWord(answer.certainty));
    } else {
        for (const AddressCandidate &c : answer.choices + answer.alsoHere)
            appendRecord(&a.out, prefix, c.zip, c.listed(), c.company, certaintyWord(c.certainty));
    }
    return a;
}

}  // namespace

bool run(const QList<AddressComponent *> &components, bool all, const Io &io)
{
    // A batch is what can be read without waiting, up to a bound: a program
    // asking a line at a time gets each answer before it asks the next.
    constexpr qsizetype kBatch = 4096;
    struct Line {
        qint64 number;
        QString query, unread;  // the text, or why it cannot be read
        Answered answer;
    };
    QList<Line> batch;
    qint64 number = 0;
    QByteArray bytes;
    for (;;) {
        batch.clear();
        while ((batch.isEmpty() || (io.ready && io.ready())) && batch.size() < kBatch && io.read(&bytes)) {
            Line line{++number, {}, {}, {}};
            line.unread = unreadable(bytes, &line.query);
            batch.append(std::move(line));
        }
        if (batch.isEmpty())
            return true;
        inParallel(int(components.size()), batch.size(), [&](int worker, qsizetype i) {
            Line &l = batch[i];
            l.answer = answerOne(*components.at(worker), all, l.number, l.unread.isEmpty() ? &l.query : nullptr);
        });
        QByteArray out;
        for (const Line &l : std::as_const(batch)) {
            if (!l.unread.isEmpty())
                io.warn(l.number, l.unread);
            for (const QString &w : l.answer.warnings)
                io.warn(l.number, w);
            out += l.answer.out;
        }
        if (!io.write(out))
            return false;
    }
}

}  // namespace PostalLookup
