// A light aircraft's flight, one step per second: taxi, take-off, climb, cruise, descent,
// approach, landing and taxi back, with its engines, fuel, inputs and navigation state.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "rng.h"
#include "sweep.h"

namespace krelby::gen {

struct Airfield {
    double lat, lon;     // degrees
    int elevationFt;
    double variationDeg; // magnetic variation, east positive
};

struct EngineState {
    double rpm = 0, oilPressureBar = 0, fuelPressureBar = 0, manifoldBar = 1.0;
    double coolantC = 20, oilC = 20, aux1C = 20, aux2C = 20, fuelFlowLph = 0;
    std::array<double, 12> tc{};
    std::array<double, 12> tcSpread{};  // per-probe offsets, fixed for the engine
    std::array<double, 12> tcNoise{};   // what the probes read off this second
};

// Fuel carried over from flight to flight: per monitor tank 1, tank 2 and the two
// levels the monitor calculates from the fuel flow.
struct FuelState {
    std::array<double, 16> litres{};
};

enum class Phase { TaxiOut, TakeoffRoll, Climb, Cruise, Descent, Approach, Rollout, TaxiIn };

struct AircraftState {
    Phase phase = Phase::TaxiOut;
    bool onGround = true;
    // Air data.
    double altitudeFt = 0, verticalSpeedFpm = 0, iasKmh = 0, tasKmh = 0, aoaDeg = 0, oatC = 15;
    double qnhMbar = 1013.2;
    // GPS.
    double lat = 0, lon = 0, groundspeedKmh = 0, trackDeg = 0, aglFt = 0;
    int satellites = 8, raimH = 20, raimV = 30;
    // Attitude (heading true, degrees).
    double headingDeg = 0, pitchDeg = 0, bankDeg = 0, turnRateDps = 0, slip = 0;
    double gLoad = 1, lrG = 0, frG = 0, bankRateDps = 0, pitchRateDps = 0, yawRateDps = 0;
    // Inputs.
    double flapsDeg = 0, pitchTrim = 0, bankTrim = 0, yawTrim = 0;
    std::array<uint8_t, 3> gear{};  // 1 down, 0 up, 2 in transit
    bool landingLight = false, fuelPump = false, autopilot = false;
    // Navigation.
    double courseDeg = 0, waypointLat = 0, waypointLon = 0, altitudeBugFt = 0;
    bool approachGuidance = false;
    std::array<EngineState, 4> engine{};
    std::array<double, 16> fuelLitres{};  // as the monitors show them
};

struct FlightPlan {
    int seconds = 300;
    Airfield home{};
    double runwayDeg = 0;
    double cruiseAltFt = 3500, cruiseIasKmh = 210, climbFpm = 700;
    double qnhMbar = 1013.2, oatDeviationC = 0;
    double windFromDeg = 270, windKmh = 15;
    std::array<double, 3> legTrackDeg{};
    bool retractableGear = false, extender = false;
    int ilsKind = 0;  // 0 none, 1 ILS, 2 GLS on the approach
    double engineWear = 0;  // RecordingOptions::engineWear
};

const Airfield& PickAirfield(Rng& rng);
FlightPlan MakePlan(Rng& rng, int seconds);

class FlightModel {
public:
    FlightModel(const FlightPlan& plan, int monitors, FuelState& fuel, Rng& rng);
    void Step();  // advances one second
    int Second() const { return second_; }
    const AircraftState& State() const { return s_; }
    const FlightPlan& Plan() const { return plan_; }
    const FuelState& Fuel() const { return fuel_; }
    // The cruise phase's seconds [begin, end).
    int CruiseBegin() const { return phaseEnd_[2]; }
    int CruiseEnd() const { return phaseEnd_[3]; }
    // Mixture sweeps to fly and noise on the EGT inputs 1-4, drawn from a stream of their own
    // so that the rest of the flight stays as it is without them.
    void AddSweeps(std::vector<SweepPlan> plans, double egtNoise, Rng rng);
    const std::vector<SweepPlan>& Sweeps() const { return sweeps_; }

private:
    Phase PhaseAt(int t) const;
    void SteerAndSpeed();
    void Fly();
    void Systems();
    void Engines();
    void BurnFuel();
    void Sweep(EngineState& e, int monitor);

    // What the pilot is after this second; the dynamics pursue it.
    struct Targets {
        double ias = 0, vs = 0, heading = 0, flaps = 0, accel = 3;
    };

    FlightPlan plan_;
    int monitors_;
    FuelState& fuel_;
    Rng& rng_;
    int second_ = -1;
    std::array<int, 8> phaseEnd_{};
    double patternAltFt_ = 0;
    double turbulence_ = 0;
    Targets tg_;
    AircraftState s_;
    std::vector<SweepPlan> sweeps_;
    double egtNoise_ = 0;
    std::optional<Rng> sweepRng_;
};

}  // namespace krelby::gen
