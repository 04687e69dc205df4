#pragma once
#include <QString>

// The current user's Documents folder, or "" when the platform names none.
// The folder need not exist.
QString getDocumentsFolder();
