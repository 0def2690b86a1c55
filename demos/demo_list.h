#pragma once
// The demos of the DEMO dialog: their display names, in the order of the
// dialog's list, and the factories that create them.
#include "demos/core/base_app.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

struct DemoEntry
{
    QString name; // as the list shows it (four names begin with a tab)
    std::function<std::unique_ptr<gaBaseApp>()> factory;
};

// The seventeen demos in list order.
std::vector<DemoEntry> MakeDemoList();
