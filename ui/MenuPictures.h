#pragma once

#include <QIcon>

// The pictures of the menu's buttons, drawn by the program itself.
enum class MenuPicture {
    Companies,
    BankAccounts,
    Goods,
    Clients,
    Table,
    ToInvoice,
    Print,
    Currency,
    Euro,
    Journal
};

QIcon MenuIcon(MenuPicture picture);
