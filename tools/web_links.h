#pragma once

#include <QString>
#include <QUrl>

// The two web sites the program opens: the maker's home page (about window and
// the main window's advertising block) and the nutrition society's site.
QUrl MakerHomePage();
QUrl SocietyWebSite();

// The address as the labels show it: host and path, without the scheme.
QString ShownAddress(const QUrl &address);

// Hands the address to the desktop's browser and returns at once. Whether a
// browser could be started is not examined: a failure is not reported, and
// the window the user clicked in stays as it is.
void OpenWebAddress(const QUrl &address);
