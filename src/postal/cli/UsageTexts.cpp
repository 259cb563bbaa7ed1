#include "postal/cli/UsageTexts.h"

namespace Cli::UsageTexts {

const char kProgram[] =
    "Usage: zenrook-postal COMMAND [OPTIONS]\n"
    "\n"
    "Japanese postal codes and addresses, offline, as Zenrook's F4 finds them.\n"
    "\n"
    "Commands:\n"
    "  lookup   answer queries read from standard input, one a line\n"
    "  info     show the dictionary's source, version, data date and size\n"
    "  import   build a dictionary from the postal service's files\n"
    "  update   fetch the postal service's current files as your own dictionary\n"
    "  barcode  the customer barcode of each address read, one a line\n"
    "  csv      fill a spreadsheet's address list with codes and barcodes\n"
    "  print    print an address list as postcards or labels, into a PDF\n"
    "\n"
    "zenrook-postal COMMAND --help shows a command's options;\n"
    "zenrook-postal --version the program's version.\n";

const Usage kLookup{
    "Usage: zenrook-postal lookup [--all] [-d DICTIONARY]",
    "Reads queries from standard input, one a line, in UTF-8. A line of digits\n"
    "(either width, with or without \"-\", \"〒\" and blanks) is a postal code,\n"
    "any other line an address, written as people write it: with or without\n"
    "its prefecture or district, a postal code in front (\"〒100-0013 \"), digits\n"
    "or kanji for numbers, 大字 or 字 before the town, Kyoto's streets\n"
    "(\"寺町通御池上る\"), blanks and either width.\n"
    "\n"
    "Prints for each line one tab-separated line: postal code, address and\n"
    "company as F4 leaves a record that held only the query (the address\n"
    "completed with the dictionary's prefecture, city and town), and how sure\n"
    "the answer is:\n"
    "  town        the town's own code (or the code asked for)\n"
    "  business    a business's own code\n"
    "  catch-all   only the city is known: its catch-all code\n"
    "  po box      a post-office box group code (NNN-8691 to NNN-8699, or\n"
    "              NNNNN-91), which no file lists: the region it serves\n"
    "  ambiguous   several places fit; the first is printed (see --all): where\n"
    "              the blocks written do not pick one of a town's codes, each\n"
    "              code's blocks follow its town (\"大通西（１〜１９丁目）\")\n"
    "  not found   the query as given, with empty fields\n"
    "A line that is not UTF-8, or that holds a NUL byte or a tab, is answered\n"
    "with empty fields and named on standard error with its line number.\n"};

const Usage kInfo{
    "Usage: zenrook-postal info [-d DICTIONARY]",
    "Prints the dictionary's data source, its version, the date of its data,\n"
    "the numbers of postal codes, towns and business codes, which dictionary\n"
    "file answers, and whether it is your own (written by update) or the one\n"
    "shipped with the program.\n"};

const Usage kImport{
    "Usage: zenrook-postal import [--ken-all FILE] [--jigyosyo FILE] [-o DICTIONARY]",
    "Builds a dictionary from the postal service's monthly files: utf_ken_all.zip\n"
    "(utf_ken_all.csv, UTF-8, every code and town, with the blocks each code\n"
    "serves) and jigyosyo.zip (JIGYOSYO.CSV, code page 932, business and\n"
    "post-office box codes), as published or unpacked. A malformed file stops\n"
    "the import with its name, line and reason; an existing dictionary is\n"
    "replaced only by a complete new one, written to disk first; an output that\n"
    "is one of the inputs is refused.\n"};

const Usage kUpdate{
    "Usage: zenrook-postal update [--ken-all-url URL] [--jigyosyo-url URL]\n"
    "                             [--ken-all FILE.zip --jigyosyo FILE.zip] [--force]",
    "Downloads the postal service's current files (utf_ken_all.zip and\n"
    "jigyosyo.zip), checks them (zip archives holding the expected file whole,\n"
    "enough codes for the whole country, data not older than the dictionary in\n"
    "use), builds the dictionary and writes it as your own:\n"
    "$XDG_DATA_HOME/zenrook/zenrook-postal.sqlite3 (~/.local/share/zenrook/...),\n"
    "which the window and zenrook-postal use from then on instead of the one\n"
    "shipped with the program. It replaces the one there only once it is whole\n"
    "on disk; any failure (no network, a file missing, cut short or foreign, a\n"
    "full disk) exits non-zero with the reason and leaves the dictionary in use\n"
    "as it was. Ends with the data's date and the codes added and gone.\n"};

const Usage kBarcode{
    "Usage: zenrook-postal barcode [--svg FILE | --svg-dir DIR] [--points SIZE] [-d DICTIONARY]",
    "Reads addresses from standard input, one a line, in UTF-8, or CODE, a tab\n"
    "and ADDRESS where the postal code is known, and prints for each line the\n"
    "customer barcode (カスタマバーコード) the postal service's manual sets out,\n"
    "tab-separated: the postal code (7 digits), the address number taken from\n"
    "what follows the town (\"1-3-2-503\"), and the 21 characters of the data\n"
    "(7 of the code, 13 of the address number, the check character) separated\n"
    "by blanks: digits, \"-\", CC1 to CC8; start and stop are implied.\n"
    "\n"
    "The town is found as lookup finds it. A business's or post-office box's\n"
    "own code takes thirteen CC4; a box group code (NNN-869N, NNNNN-91) takes\n"
    "the box's number written after it (\"9808691<TAB>私書箱215号\"). An address\n"
    "whose town is not known (only the city's catch-all code) gets no barcode,\n"
    "nor one that fits several places with no code given: the line is answered\n"
    "with empty fields, and the reason goes to standard error with the line\n"
    "number.\n"};

const Usage kCsv{
    "Usage: zenrook-postal csv --address COLUMN [--zip COLUMN [--fill]] [--header]\n"
    "                          [--encoding cp932|utf-8] [-d DICTIONARY] < LIST > FILLED",
    "Reads an address list (CSV, RFC 4180: quoted fields may hold commas, quotes\n"
    "and line breaks; rows end in CR LF or LF) from standard input and writes it\n"
    "to standard output with four columns added to each row: 郵便番号 (the\n"
    "postal code), 住所 (the address completed as F4 completes it), 確度 (town,\n"
    "business, catch-all, po box, ambiguous or not found, as lookup says; or\n"
    "codes disagree, unknown code or no address where the row's own code is in\n"
    "doubt, with no barcode) and バーコード (the customer barcode's characters,\n"
    "as barcode prints them; empty where there is none). Nothing else changes:\n"
    "no other cell, nor the rows' order, nor their line ends, nor the encoding.\n"
    "A row that cannot be read is named on standard error with its line number\n"
    "and passed on as it came. A character the list's encoding cannot hold\n"
    "stops the run with a message.\n"};

const Usage kPrint{
    "Usage: zenrook-postal print --address COLUMN [--name COLUMN] [--zip COLUMN] [--company COLUMN]\n"
    "                            [--title TEXT] [--header] [--encoding cp932|utf-8]\n"
    "                            [--layout postcard|labels] [--sheet A4-12|A4-24 | --sheet-file FILE]\n"
    "                            [--skip N] [--offset X,Y] [--font FILE] [--from-name TEXT]\n"
    "                            [--from-address TEXT] [--from-zip CODE] [-d DICTIONARY]\n"
    "                            (-o FILE.pdf | --dry-run) < LIST",
    "Reads an address list as csv does (CSV, code page 932 or UTF-8, columns by\n"
    "number or by the header's names) and prints each row as a piece of mail\n"
    "into one PDF. The code a row lacks and its customer barcode come from the\n"
    "same look-up as csv's; a row it cannot place with certainty is printed\n"
    "without a barcode and named on standard error, never left out.\n"
    "\n"
    "Postcards (はがき, 100 × 148 mm), one a row, written top to bottom: the\n"
    "code's seven digits in the frame printed on the card; the address down the\n"
    "right, numbers in kanji digit by digit (霞が関一―三―二), the building in a\n"
    "second column; the company; the name large down the middle with its\n"
    "title; the sender, where given, in a small frame at the lower left.\n"
    "Labels, written across: 〒 and the code, the address, the customer barcode\n"
    "under it at the postal service's sizes (10 point where the label is wide\n"
    "enough, down to 8; none on labels narrower than that), the company, the\n"
    "name and its title. The text stays text in the PDF, the font embedded.\n"};

}  // namespace Cli::UsageTexts
