#pragma once

#include <QIcon>

// The pictures of the menu's eight buttons, drawn by the program itself.
enum class MenuPicture { Companies, BankAccounts, Goods, Clients, Table, ToInvoice, Print, Currency };

QIcon MenuIcon(MenuPicture picture);
