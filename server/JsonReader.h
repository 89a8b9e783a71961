#pragma once
#include <QByteArrayView>
#include <QJsonObject>

#include <optional>

// Reads a message of the language protocol, a JSON object, faster than
// QJsonDocument does: QJsonDocument appends a string that holds escapes
// one character at a time, and a client sends a whole script as one such
// string ("\r\n" on every line), which costs more than finding the
// script's problems.
//
// It reads strict JSON only, and only what it can read exactly as
// QJsonDocument would. For anything else it gives nothing and the caller
// asks QJsonDocument, which then decides (with its own error message):
// a text that is not one object, a duplicate key, nesting deeper than
// MostDepth, a number not in JSON's own form or out of a double's range,
// a lone surrogate in a \u escape, bytes that are not UTF-8 of a
// character (or a noncharacter), a control character in a string.
namespace JsonReader {

constexpr int MostDepth = 64;

std::optional<QJsonObject> readObject(QByteArrayView json);

}  // namespace JsonReader
