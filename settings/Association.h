#pragma once

// Registers the ".mvn5" file type with the desktop for this program and
// tells the user how it went.
void AssociateFiles();
