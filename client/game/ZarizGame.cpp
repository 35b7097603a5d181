#include "client/game/ZarizGame.h"

namespace {
CZarizGame::Factory g_factory = nullptr;
}

CZarizGame* CZarizGame::Create()
{
    return g_factory ? g_factory() : nullptr;
}

CZarizGame::Factory CZarizGame::SetFactory(Factory factory)
{
    Factory previous = g_factory;
    g_factory = factory;
    return previous;
}
