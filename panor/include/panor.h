#ifndef PANOR_H
#define PANOR_H

/// @file
/// Control registration: a control is registered under a name and an id and can
/// be found again by either, until it is destroyed.

#include <QString>

#include "panor_export.h"

class QObject;

/// Registers `control` under `name` (also its object name) and `id`. `kind` and
/// `group` are kept for the host as the dynamic properties "panor_kind" and
/// "panor_group"; the id is also "panor_id". An empty name or a negative id is
/// not looked up. Registering an object again replaces its earlier name and id;
/// when several live objects share a name or id, the latest registered is found.
/// A null control is ignored. Safe from any thread.
PANOR_EXPORT void PANOR_cltSet(QObject* control, const QString& name, int kind, int id, int group);

/// The live control registered latest under `name`, or null. Safe from any thread.
PANOR_EXPORT QObject* PANOR_cltFind(const QString& name);
/// The live control registered latest under `id`, or null. Safe from any thread.
PANOR_EXPORT QObject* PANOR_cltFind(int id);

#endif
