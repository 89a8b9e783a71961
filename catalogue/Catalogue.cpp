#include "catalogue/Catalogue.h"

const QList<CatalogueEntry>& catalogueEntries()
{
    static const QList<CatalogueEntry> entries;
    return entries;
}

QStringList catalogueImagePaths()
{
    return {};
}
