#include "panor.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <QVariant>
#include <QVector>

namespace {

struct Registration {
    QString name;
    int id = -1;
};

// Newest registration last in each list, so lookups scan from the back.
struct Registry {
    QMutex mutex;
    QHash<QObject*, Registration> byObject;
    QHash<QString, QVector<QObject*>> byName;
    QHash<int, QVector<QObject*>> byId;

    void forget(QObject* control)
    {
        const auto it = byObject.constFind(control);
        if (it == byObject.constEnd())
            return;
        dropKey(byName, it->name, control);
        dropKey(byId, it->id, control);
        byObject.erase(it);
    }

    template <typename Key>
    static void dropKey(QHash<Key, QVector<QObject*>>& index, const Key& key, QObject* control)
    {
        const auto it = index.find(key);
        if (it == index.end())
            return;
        it->removeAll(control);
        if (it->isEmpty())
            index.erase(it);
    }
};

// Never destroyed: controls may die during static destruction, after a
// function-local registry object would already be gone.
Registry& registry()
{
    static Registry* instance = new Registry;
    return *instance;
}

template <typename Key>
QObject* newest(const QHash<Key, QVector<QObject*>>& index, const Key& key)
{
    const auto it = index.constFind(key);
    return it == index.constEnd() ? nullptr : it->constLast();
}

} // namespace

void PANOR_cltSet(QObject* control, const QString& name, int kind, int id, int group)
{
    if (!control)
        return;
    control->setObjectName(name);
    control->setProperty("panor_id", id);
    control->setProperty("panor_kind", kind);
    control->setProperty("panor_group", group);

    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    const bool known = r.byObject.contains(control);
    r.forget(control);
    r.byObject.insert(control, Registration{name, id});
    if (!name.isEmpty())
        r.byName[name].append(control);
    if (id >= 0)
        r.byId[id].append(control);
    if (!known) {
        QObject::connect(control, &QObject::destroyed, [](QObject* gone) {
            Registry& reg = registry();
            QMutexLocker guard(&reg.mutex);
            reg.forget(gone);
        });
    }
}

QObject* PANOR_cltFind(const QString& name)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return newest(r.byName, name);
}

QObject* PANOR_cltFind(int id)
{
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return newest(r.byId, id);
}
