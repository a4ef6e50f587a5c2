#pragma once
// The texts of a FatturaPA file may hold only characters of the Basic Latin and Latin-1
// blocks (U+0000 to U+00FF). The usual typographic characters beyond them are written in
// plain form, every other one is left out:
//   euro sign                                    -> "EUR"
//   curly, low and reversed single quotes, prime -> '
//   curly, low and reversed double quotes        -> "
//   hyphen, figure, en, em and bar dashes, minus -> -
//   horizontal ellipsis                          -> ...
//   non-breaking and other width spaces          -> one blank
#include <QString>

// The plain form of one character beyond Latin-1 (a code point), or nullptr when it has
// none and is left out. The non-breaking space U+00A0, inside Latin-1, is also a blank.
const char *latin1Replacement(char32_t c);

// `text` with every character beyond Latin-1 (and the non-breaking space) replaced or
// left out as above; a text without such characters is returned unchanged.
QString latin1Text(const QString &text);
