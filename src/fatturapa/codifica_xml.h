#pragma once
// Escaping of the texts that go into the FatturaPA files.
#include <QString>

// The escaping of names, addresses, towns, line descriptions and the delivery reason:
// & ! " / - ° @ + < > become the numeric character references &#38; &#33; &#34; &#47;
// &#45; &#176; &#64; &#43; &#60; &#62;. Characters beyond Latin-1 are first written in
// plain form or left out (latin1_text.h); every other character passes unchanged.
QString CodificaXml(const QString &text);

// The escaping of every other stored text written into a file: only & < > become
// &#38; &#60; &#62;, so that the file stays well-formed, and characters beyond Latin-1
// are written in plain form or left out as above; other texts pass unchanged.
QString escapeMarkup(const QString &text);

// The text without the characters that an XML 1.0 document cannot hold: control
// characters other than tab, line feed and carriage return (NUL, U+0001 ...), unpaired
// surrogates, U+FFFE and U+FFFF. Every written line passes through it, so that such a
// character, typed or imported, never makes a file unreadable.
QString xmlCharactersOnly(const QString &text);
