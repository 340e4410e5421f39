#include "chart/track_view.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "chart/tile_fetcher.h"
#include "chart/track_line.h"
#include "replay/position_text.h"
#include "replay/units.h"

namespace krelby {
namespace {

const UnitSettings kDefaultUnits;

}  // namespace

TrackView::TrackView(QWidget* parent)
    : QWidget(parent), markerTime_(std::nan("")), spanFrom_(std::nan("")), spanTo_(std::nan("")) {
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);  // Home
    setMinimumSize(120, 120);
    // Bottom to top.
    layers_ = {
        PaintTrackTiles,
        [this](QPainter& p, const TrackScene& scene) { line_.Paint(p, scene); },
        PaintAircraft,
        PaintAltitudeScale,
        PaintScaleBar,
        PaintNorthArrow,
        PaintTrackMapNotes,
    };
}

void TrackView::SetTrack(const Track* track, bool sameFlight) {
    given_ = track;
    Project();
    marker_.reset();
    markerTime_ = std::nan("");
    hovered_.reset();
    spanFrom_ = spanTo_ = std::nan("");
    if (!sameFlight) fitted_ = true;  // the view follows a new flight
    update();
}

void TrackView::SetMap(TileFetcher* tiles) {
    if (tiles_) disconnect(tiles_, nullptr, this, nullptr);
    tiles_ = tiles;
    if (tiles_) connect(tiles_, &TileFetcher::Changed, this, [this] {
            FollowMap();
            update();
        });
    FollowMap();
    update();
}

bool TrackView::MapShown() const { return tiles_ && tiles_->Enabled(); }

// The track in the projection of the map shown (or flat), the same object otherwise.
void TrackView::Project() {
    // The same track object may hold another flight.
    line_.Forget();
    profile_.Forget();
    const TrackProjection wanted = MapShown() ? TrackProjection::WebMercator : TrackProjection::Flat;
    if (!given_ || given_->Projection() == wanted) {
        projected_ = Track();
        track_ = given_;
        return;
    }
    projected_ = given_->Reprojected(wanted);
    track_ = &projected_;
}

void TrackView::FollowMap() {
    const TrackProjection wanted = MapShown() ? TrackProjection::WebMercator : TrackProjection::Flat;
    if (!track_ || track_->Projection() == wanted) return;
    // A view zoomed or panned stays over the same place at the same ground scale.
    std::optional<GeoPoint> centre;
    double nmPerPixel = 0;
    if (!fitted_ && !track_->Empty()) {
        centre = track_->PositionAt(centreX_, centreY_);
        nmPerPixel = perPixel_ * track_->NmPerUnit(centreY_);
    }
    Project();
    if (centre) {
        std::tie(centreX_, centreY_) = track_->Project(centre->latitude, centre->longitude);
        perPixel_ = std::clamp(nmPerPixel / track_->NmPerUnit(centreY_), 1e-6, 1.0);
    }
}

void TrackView::SetUnits(const UnitSettings* units) {
    units_ = units;
    update();
}

void TrackView::SetRegional(const Regional& regional) {
    regional_ = regional;
    update();
}

void TrackView::SetMarkerTime(double days) {
    if (hovered_ || !track_) return;
    const std::optional<size_t> at = std::isnan(days) ? std::nullopt : track_->IndexAt(days);
    if (at == marker_ && (days == markerTime_ || (std::isnan(days) && std::isnan(markerTime_)))) return;
    marker_ = at;
    markerTime_ = days;
    update();
}

void TrackView::SetTimeSpan(double from, double to) {
    spanFrom_ = from;
    spanTo_ = to;
    update();
}

TrackSpan TrackView::VisibleSpan() const {
    if (!track_) return {};
    if (std::isnan(spanFrom_) || std::isnan(spanTo_)) return {0, track_->Size()};
    return track_->SpanOf(spanFrom_, spanTo_);
}

void TrackView::Fit() {
    fitted_ = true;
    update();
}

QRect TrackView::TrackArea(QSize area) const { return LayoutPane(area).track; }

PixelMap TrackView::Map(QSize area) const {
    PixelMap m;
    if (!track_ || track_->Empty()) return m;
    const QSize part = TrackArea(area).size();
    if (fitted_) {
        const TrackBox box = track_->Bounds();
        const double w = std::max(10, part.width() - 2 * kTrackSide);
        const double h = std::max(10, part.height() - kTrackTop - kTrackBottom);
        const double bw = std::max(box.Width(), 1e-12), bh = std::max(box.Height(), 1e-12);
        // A track that never moved is shown a nautical mile across.
        m.scale = (box.Width() > 0 || box.Height() > 0) ? std::min(w / bw, h / bh)
                                                        : std::min(w, h) * track_->NmPerUnit(box.minY);
        m.originX = (box.minX + box.maxX) / 2 - (kTrackSide + w / 2) / m.scale;
        m.originY = (box.minY + box.maxY) / 2 + (kTrackTop + h / 2) / m.scale;
        return m;
    }
    m.scale = 1 / perPixel_;
    const QSize own = TrackArea(size()).size();
    if (part != own && own.width() > 0 && own.height() > 0)
        m.scale *= std::min(part.width() / double(own.width()), part.height() / double(own.height()));
    m.originX = centreX_ - part.width() / 2.0 / m.scale;
    m.originY = centreY_ + part.height() / 2.0 / m.scale;
    return m;
}

void TrackView::ZoomAround(QPointF at, double factor) {
    if (!track_ || track_->Empty() || !(factor > 0)) return;
    const PixelMap m = Map(size());
    const QPointF middle = QRectF(TrackArea(size())).center();
    const double x = m.X(at.x()), y = m.Y(at.y());
    // Between a few metres and a hemisphere across the pane.
    perPixel_ = std::clamp(1 / m.scale / factor, 1e-6, 1.0);
    centreX_ = x - (at.x() - middle.x()) * perPixel_;
    centreY_ = y + (at.y() - middle.y()) * perPixel_;
    fitted_ = false;
    update();
}

QRect TrackView::ProfilePlot() const { return LayoutPane(size()).plot; }

double TrackView::ProfileX(double days) const {
    return track_ ? ProfileAxisOf(*track_, ProfilePlot()).X(days) : 0;
}

double TrackView::ProfileTimeAt(double x) const {
    return track_ ? ProfileAxisOf(*track_, ProfilePlot()).TimeAt(x) : std::nan("");
}

QString TrackView::ReadoutText() const {
    if (!track_ || track_->Empty()) return {};
    const UnitSettings& units = units_ ? *units_ : kDefaultUnits;
    const PositionFormat format = PositionFormatOf(units);
    const auto position = [format](GeoPoint g) {
        return QString::fromStdString(PositionText(g.latitude, g.longitude, format));
    };
    // The point hovered or marked: its place and altitude (its time is on the profile's
    // marker); else the place under the mouse.
    if (marker_ && (hovered_ || !mouse_)) {
        const TrackPoint& p = track_->Point(*marker_);
        const QString symbol = QString::fromUtf8(ShownUnit(UnitQuantity::Altitude, units).symbol.data());
        return position({p.latitude, p.longitude}) + "   PALT " +
               QString::number(ConvertAltitude(p.paltFeet, units)) + " " + symbol;
    }
    if (!mouse_) return {};
    const PixelMap m = Map(size());
    return position(track_->PositionAt(m.X(mouse_->x()), m.Y(mouse_->y())));
}

void TrackView::Paint(QPainter& p, const QRect& area, std::optional<QDeadlineTimer> mapWait) const {
    p.save();
    p.setClipRect(area);
    p.translate(area.topLeft());
    const QSize size = area.size();
    p.fillRect(QRect(QPoint(0, 0), size), kTrackPaper);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    const TrackPaneLayout layout = LayoutPane(size);
    if (track_ && track_->Empty()) {
        p.setPen(kTrackInk);
        p.drawText(layout.track.adjusted(10, 10, -10, -10), Qt::AlignCenter | Qt::TextWordWrap,
                   "No positions in this flight");
    }
    if (track_ && !track_->Empty()) {
        const UnitSettings& units = units_ ? *units_ : kDefaultUnits;
        std::optional<TrackMapScene> map;
        if (MapShown()) map.emplace(TrackMapScene{*tiles_, mapWait, {}});
        const TrackScene scene{layout.track.size(), *track_, Map(size), VisibleSpan(), marker_, units, font,
                               map ? &*map : nullptr};
        p.save();
        p.setClipRect(layout.track, Qt::IntersectClip);
        for (const TrackLayer& layer : layers_) {
            p.save();
            layer(p, scene);
            p.restore();
        }
        p.restore();
        PaintReadout(p, layout.readout, ReadoutText(), font);
        profile_.Paint(p, {*track_, layout.profile, layout.plot, spanFrom_, spanTo_, markerTime_, units, regional_, font});
    }
    p.restore();
}

QImage TrackView::Grab(QSize size, std::optional<QDeadlineTimer> mapWait) const {
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.fill(kTrackPaper);
    QPainter painter(&image);
    Paint(painter, QRect(QPoint(0, 0), size), mapWait);
    return image;
}

void TrackView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, rect());
}

void TrackView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

std::vector<TrackView::Gesture> TrackView::Gestures() {
    return {
        {"Mouse over the track", "The time of the nearest point as the chart's cursor; its position and altitude below"},
        {"Click on the track", "Centres the chart on that time"},
        {"Double-click on the track", "Shows the two minutes either side in the chart"},
        {"Mouse over the profile", "Moves the chart's cursor to that time"},
        {"Click, double-click on the profile", "As on the track"},
        {"Wheel, + and -", "Zoom the track around the mouse (the keys: around the middle)"},
        {"Drag", "Pans the track"},
        {"Home", "Fits the whole track"},
        {"Right-click", "The map: on or off, and its source"},
    };
}

}  // namespace krelby
