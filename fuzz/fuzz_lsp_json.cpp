// The language server's quick JSON reader against QJsonDocument: whatever
// the quick reader takes, QJsonDocument takes too, as the same object.
// (What the quick reader leaves goes to QJsonDocument anyway.)
//
// Input: the JSON text.

#include "FuzzSupport.h"

#include "server/JsonReader.h"

#include <QJsonDocument>
#include <QJsonParseError>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<QJsonObject> quick = JsonReader::readObject(json);
    if (!quick)
        return 0;
    QJsonParseError error;
    const QJsonDocument qt = QJsonDocument::fromJson(json, &error);
    FUZZ_CHECK(error.error == QJsonParseError::NoError && qt.isObject(), "taken by the quick reader only");
    FUZZ_CHECK(QJsonDocument(*quick).toJson(QJsonDocument::Compact) == qt.toJson(QJsonDocument::Compact),
               "read differently");
    return 0;
}
