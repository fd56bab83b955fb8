// The entity services: every entity the module draws reaches the host drawing
// through these calls. Each makes one entity, appends it to the working
// database's current space and hands back its id (null when nothing was added);
// every object they open is closed again before they return.
#pragma once

#include <memory>
#include <vector>

#include "vrxdb.h"

// Takes over a new entity: it belongs to the drawing once appended, and is
// deleted here when it cannot be appended.
VRxDbObjectId appendToCurrentSpace(std::unique_ptr<VRxDbEntity> entity);

// colorIndex -1 keeps the entity's default colour; a null linetype keeps its default linetype.
VRxDbObjectId addLine(const VRxGePoint3d& start, const VRxGePoint3d& end, int colorIndex = -1,
                      const wchar_t* linetype = nullptr);
// Angles in radians, counterclockwise about the normal.
VRxDbObjectId addArc(const VRxGePoint3d& centre, const VRxGeVector3d& normal, double radius, double startAngle,
                     double endAngle);
// The arc runs counterclockwise from first to last on the circle through the three
// points; the middle point only fixes the circle. Collinear points make no arc.
VRxDbObjectId addArcThroughPoints(const VRxGePoint2d& first, const VRxGePoint2d& middle, const VRxGePoint2d& last);
VRxDbObjectId addText(const VRxGePoint3d& position, const wchar_t* text, VRxDbObjectId style, double height,
                      double rotation);
// A null text shows the measured value; texts go to the host unchanged.
VRxDbObjectId addRotatedDimension(const VRxGePoint3d& xLine1, const VRxGePoint3d& xLine2,
                                  const VRxGePoint3d& dimLine, double rotation, const wchar_t* text,
                                  VRxDbObjectId style);
VRxDbObjectId addRadialDimension(const VRxGePoint3d& centre, const VRxGePoint3d& chordPoint, double leaderLength,
                                 const wchar_t* text, VRxDbObjectId style);
// Leaders are drawn in colour 1 with the thinnest fixed line weight.
VRxDbObjectId addDimLeader(const VRxGePoint3d& start, const std::vector<VRxGePoint3d>& vertices,
                           const VRxGePoint3d& end, const wchar_t* text1, const wchar_t* text2,
                           VRxDbObjectId style);

// The caller closes what it gets; null when the id is not an entity that can be opened so.
VRxDbEntity* openEntity(VRxDbObjectId id, VRxDb::OpenMode mode);
// The layer of the working database with that name, or the null id.
VRxDbObjectId findLayer(const wchar_t* name);
// Moves the entities onto the layer (colour only when colorIndex > 0, linetype and
// line weight by layer). The list is taken over and deleted on every path. False,
// with nothing changed, when the drawing has no such layer.
bool applyLayerStyle(std::unique_ptr<VRxDbObjectIdArray> ids, const wchar_t* layerName, int colorIndex);

bool fileExists(const wchar_t* path);
