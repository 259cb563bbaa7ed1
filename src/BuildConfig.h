#pragma once
// Addresses fixed when the program is built (CMake cache variables
// ZENROOK_MAP_BASE_URL, ZENROOK_MAP_REDIR_BASE, ZENROOK_HELP_BASE_URL).

// The map service: scheme and host, no trailing slash. A copied or requested
// URL belongs to the map service when it carries this.
extern const char MapBaseURL[];
// The map provider's redirect service, in front of every search.
extern const char MapRedirBase[];
// Every search URL up to its query value: the redirect service, then the
// map service's search page, literally.
extern const char MapSearchHead[];
// The help pages: an address ending in "/".
extern const char HelpBaseURL[];
