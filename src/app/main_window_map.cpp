// The map under the track pane: one tile fetcher for the window, set from the pilot's
// choice in the pane's context menu ("Map" and the source), kept with the window's other
// per-user state. Nothing is asked of any server while the map is off.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QUrl>

#include "chart/tile_fetcher.h"
#include "chart/track_view.h"
#include "main_window.h"
#include "map_source_dialog.h"
#include "window_settings.h"

namespace krelby {
namespace {

struct SourceItem {
    MapChoice choice;
    const char* objectName;
    const char* caption;
};
constexpr SourceItem kSourceItems[] = {
    {MapChoice::None, "MapNone1", "None"},
    {MapChoice::Default, "MapOpenStreetMap1", "OpenStreetMap"},
    {MapChoice::User, "MapUser1", "Your own source..."},
};

}  // namespace

void MainWindow::BuildMap() {
    map_ = ReadMapSettings(*UserSettings());
    tiles_ = new TileFetcher(DefaultTileCacheFolder(), map_.CacheBytes(), this);
    tiles_->SetSource(map_.Source());
    track_->SetMap(tiles_);

    trackMenu_ = new QMenu(this);
    trackMenu_->setObjectName("TrackMenu");
    QAction* shown = trackMenu_->addAction("Map");
    shown->setObjectName("MapShown1");
    shown->setCheckable(true);
    connect(shown, &QAction::triggered, this, [this](bool on) {
        MapSettings map = map_;
        map.shown = on;
        SetMap(map);
    });
    trackMenu_->addSeparator();
    auto* sources = new QActionGroup(trackMenu_);
    for (const SourceItem& item : kSourceItems) {
        QAction* action = trackMenu_->addAction(item.caption);
        action->setObjectName(item.objectName);
        action->setCheckable(true);
        sources->addAction(action);
        connect(action, &QAction::triggered, this, [this, choice = item.choice] {
            if (choice == MapChoice::User && !AskOwnMapSource()) {
                ShowMapChoice();  // cancelled: the tick goes back
                return;
            }
            MapSettings map = map_;  // with the address just given
            map.choice = choice;
            // Choosing a map means seeing it.
            if (choice != MapChoice::None) map.shown = true;
            SetMap(map);
        });
    }
    track_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(track_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { trackMenu_->popup(track_->mapToGlobal(at)); });
    ShowMapChoice();
}

void MainWindow::SetMap(const MapSettings& map) {
    map_ = map;
    tiles_->SetCacheLimit(map_.CacheBytes());
    tiles_->SetSource(map_.Source());
    WriteMapSettings(*UserSettings(), map_);
    ShowMapChoice();
}

void MainWindow::ShowMapChoice() {
    trackMenu_->findChild<QAction*>("MapShown1")->setChecked(map_.shown);
    for (const SourceItem& item : kSourceItems)
        trackMenu_->findChild<QAction*>(item.objectName)->setChecked(map_.choice == item.choice);
    // The pilot's own source named by its host once there is one.
    const QString host = QUrl(map_.userTemplate).host();
    trackMenu_->findChild<QAction*>("MapUser1")
        ->setText(host.isEmpty() ? QString("Your own source...") : QString("Your own source (%1)...").arg(host));
}

bool MainWindow::AskOwnMapSource() {
    MapSourceDialog dialog(map_.userTemplate, map_.userAttribution, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    map_.userTemplate = dialog.Template();
    map_.userAttribution = dialog.Attribution();
    return true;
}

}  // namespace krelby
