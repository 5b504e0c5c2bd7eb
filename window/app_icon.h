#pragma once

#include <QIcon>

// The application's icon: the icon theme's where it has one, else the one built in.
QIcon AppIcon();
