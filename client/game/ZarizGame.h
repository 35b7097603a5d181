#pragma once
#include "framework/Window.h"

#include <string>

// The game window as the login frame sees it: a top-level window the frame creates on
// WM_OPENGAME, shows, hides with the boss key, closes and deletes on WM_BACKTOLOGIN, and hands
// customer-service requests to.
class CZarizGame : public Window {
public:
    // Takes a customer-service chat request from the login page.
    virtual void ShowCustomerService(std::wstring request) = 0;

    // Creates a game window with its own top-level window; null when the client has none.
    using Factory = CZarizGame* (*)();
    static CZarizGame* Create();
    static Factory SetFactory(Factory factory);
};
