#pragma once
#include <QIcon>
#include <QString>

// The toolbar's pictures, keyed "File", "Config", "Graph" and "Tree"; drawn by the program.
QIcon ToolbarIcon(const QString& key);
