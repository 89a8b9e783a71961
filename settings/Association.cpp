#include "settings/Association.h"

void AssociateFiles()
{
}
