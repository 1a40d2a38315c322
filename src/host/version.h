// The module's version, read by the version resource and by the info text.
#pragma once

#define KORVEX_VERSION_MAJOR 1
#define KORVEX_VERSION_MINOR 0
#define KORVEX_VERSION_TEXT "1.0.0.0"
#define KORVEX_PRODUCT_NAME "Korvex"
#define KORVEX_FILE_NAME "Korvex.dll"
#define KORVEX_INFO_LINE "Korvex v1.0"
#define KORVEX_CONTACT_MAIL "Mail: korvex@example.org"
#define KORVEX_CONTACT_WEB "Web: https://korvex.example.org/"
#define KORVEX_COPYRIGHT "Copyright (C) 2026 The Korvex developers <korvex@example.org>"
