// The machining holes of a plate in plan: a single circular step and the
// multi-step hole (a counterbore over a through hole and the like) whose steps
// are concentric circles. Coordinates are millimetres from the plate centre;
// the interface's angles are radians, a multi-step hole's rotation degrees.
#pragma once

#include <map>
#include <string>

namespace Models {

class IStandarHole {
public:
    virtual std::wstring getId() const;
    virtual void setTag(std::wstring text);
    virtual std::wstring getTag() const;
    virtual double getX() const = 0;
    virtual double getY() const = 0;
    virtual double getStartAngle() const = 0;
    virtual double getEndAngle() const = 0;
    // The radius the hole is filed under in a multi-step hole.
    virtual double getKeyRadius() const = 0;
    // The outer radius.
    virtual double getRadius() const = 0;
    virtual double getLevel() const = 0;
    virtual double getDepth() const = 0;

protected:
    // Owners always delete through the concrete class.
    ~IStandarHole() = default;

    std::wstring m_id;
    std::wstring m_tag;
};

// One circular step with the machining process that makes it.
class StandarHole : public IStandarHole {
public:
    StandarHole(double x, double y, double radius, std::wstring processName);

    double getX() const override;
    double getY() const override;
    double getStartAngle() const override;
    double getEndAngle() const override;
    double getKeyRadius() const override;
    double getRadius() const override;
    double getLevel() const override;
    double getDepth() const override;
    std::wstring getProcessName() const;
    void setLevel(double level);
    void setDepth(double depth);
    virtual ~StandarHole();

private:
    double m_x;
    double m_y;
    double m_radius;
    double m_startAngle;
    double m_endAngle;
    std::wstring m_processName;
    double m_level = 0.0;
    double m_depth = 0.0;
};

// Concentric steps keyed by their radius, smallest first. The hole owns its
// steps; no two share a key (compared exactly as doubles).
class StandardMultiHole : public IStandarHole {
public:
    StandardMultiHole();
    StandardMultiHole(const StandardMultiHole&) = delete;
    StandardMultiHole& operator=(const StandardMultiHole&) = delete;

    // Centre and key radius are the smallest step's, the through hole.
    double getX() const override;
    double getY() const override;
    double getStartAngle() const override;
    double getEndAngle() const override;
    double getKeyRadius() const override;
    // The widest step's radius.
    double getRadius() const override;
    // The widest step's level; the depth is that of all steps together.
    double getLevel() const override;
    double getDepth() const override;
    virtual ~StandardMultiHole();
    // The process all steps share; empty when they disagree or there are none.
    std::wstring getCommonProcessName() const;

    // Files a step under its key radius and takes it over; false, with the
    // step left to the caller, when a step of that radius is already there.
    bool addStep(StandarHole* step);

    std::map<double, StandarHole*> steps;
    double rotation = 0.0;  // degrees
};

}  // namespace Models
