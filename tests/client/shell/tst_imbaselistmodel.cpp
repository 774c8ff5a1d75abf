// The list-model base under Qt's model checker: inserts, moves, prepends,
// replacements and items that are destroyed while listed.
#include <QAbstractItemModelTester>
#include <QPointer>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QtTest>
#include <memory>

#include "shell/ImBaseListModel.h"
#include "support/ClientTestMain.h"

namespace {
class ListModel : public ImBaseListModel {
 public:
  ListModel() : ListModel(new QList<QObject*>) {}
  ~ListModel() override { delete m_items; }

 private:
  explicit ListModel(QList<QObject*>* items) : ImBaseListModel(nullptr, items), m_items(items) {}
  QList<QObject*>* m_items;
};

QObject* Item(const QString& name, QObject* owner) {
  QObject* item = new QObject(owner);
  item->setObjectName(name);
  return item;
}

QString Names(const ImBaseListModel& model) {
  QStringList names;
  for (int row = 0; row < model.itemCount(); ++row) {
    QObject* item = model.data(model.index(row), ImBaseListModel::kObjectRole).value<QObject*>();
    names << (item ? item->objectName() : QStringLiteral("null"));
  }
  return names.join(QLatin1Char(','));
}
}  // namespace

class TestImBaseListModel : public QObject {
  Q_OBJECT

  std::unique_ptr<ListModel> m_model;
  std::unique_ptr<QAbstractItemModelTester> m_tester;
  std::unique_ptr<QObject> m_owner;

  ListModel& model() { return *m_model; }

  QObject* add(const QString& name) {
    QObject* item = Item(name, m_owner.get());
    model().append(item);
    return item;
  }

 private slots:
  void init() {
    m_owner = std::make_unique<QObject>();
    m_model = std::make_unique<ListModel>();
    // Checked from the first change on.
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void cleanup() {
    m_tester.reset();
    m_model.reset();
    m_owner.reset();
  }

  void insertAppendAndRead() {
    QSignalSpy added(&model(), &ImBaseListModel::itemAdded);
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    QObject* a = add("a");
    QObject* b = add("b");
    QObject* c = Item("c", m_owner.get());
    model().insert(1, c);
    QCOMPARE(Names(model()), QStringLiteral("a,c,b"));
    QCOMPARE(added.count(), 3);
    QCOMPARE(added.at(2).first().value<QObject*>(), c);
    QCOMPARE(counted.count(), 3);
    QCOMPARE(model().property("itemCount").toInt(), 3);
    QCOMPARE(model().rowCount(), 3);
    QCOMPARE(model().columnCount(), 1);
    QCOMPARE(model().roleNames(), (QHash<int, QByteArray>{{257, "object"}}));
    QCOMPARE(model().get(0), a);
    QCOMPARE(model().get(2), b);
    QCOMPARE(model().get(-1), nullptr);
    QCOMPARE(model().get(3), nullptr);
    QCOMPARE(model().indexOf(c), 1);
    QCOMPARE(model().indexOf(m_owner.get()), -1);
    QCOMPARE(model().data(model().index(0), 256), QVariant(0));
    QVERIFY(!model().data(model().index(0), Qt::SizeHintRole).isValid());
    QVERIFY(!model().data(model().index(5), ImBaseListModel::kObjectRole).isValid());
  }

  void move_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("announced");
    QTest::addColumn<QString>("order");
    QTest::newRow("down") << 2 << 5 << 6 << "0,1,3,4,5,2";
    QTest::newRow("up") << 5 << 2 << 2 << "0,1,5,2,3,4";
    QTest::newRow("one down") << 1 << 2 << 3 << "0,2,1,3,4,5";
    QTest::newRow("one up") << 2 << 1 << 1 << "0,2,1,3,4,5";
    QTest::newRow("first to last") << 0 << 5 << 6 << "1,2,3,4,5,0";
    QTest::newRow("last to first") << 5 << 0 << 0 << "5,0,1,2,3,4";
    QTest::newRow("same row") << 3 << 3 << -1 << "0,1,2,3,4,5";
    QTest::newRow("from below range") << -1 << 2 << -1 << "0,1,2,3,4,5";
    QTest::newRow("to past the end") << 2 << 6 << -1 << "0,1,2,3,4,5";
    QTest::newRow("from past the end") << 6 << 0 << -1 << "0,1,2,3,4,5";
  }

  void move() {
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, announced);
    QFETCH(QString, order);
    for (int i = 0; i < 6; ++i) add(QString::number(i));
    QSignalSpy moving(&model(), &QAbstractItemModel::rowsAboutToBeMoved);
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    model().move(from, to);
    QCOMPARE(Names(model()), order);
    QCOMPARE(counted.count(), 0);
    if (announced < 0) {
      QCOMPARE(moving.count(), 0);
    } else {
      QCOMPARE(moving.count(), 1);
      QCOMPARE(moving.first().at(1).toInt(), from);
      QCOMPARE(moving.first().at(4).toInt(), announced);
    }
  }

  void prependItemsReversesTheGivenOrder() {
    add("x");
    add("y");
    QSignalSpy inserted(&model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy added(&model(), &ImBaseListModel::itemAdded);
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    QObject* a = Item("a", m_owner.get());
    model().prependItems({a, Item("b", m_owner.get()), Item("c", m_owner.get())});
    QCOMPARE(Names(model()), QStringLiteral("c,b,a,x,y"));
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 0);
    QCOMPARE(inserted.first().at(2).toInt(), 2);
    QCOMPARE(added.count(), 0);
    QCOMPARE(counted.count(), 1);
    // Prepended items are watched like the others.
    delete a;
    QCOMPARE(Names(model()), QStringLiteral("c,b,x,y"));
    // An empty list changes nothing.
    model().prependItems({});
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(counted.count(), 2);
  }

  void deletedItemLeavesTheList() {
    add("a");
    QObject* b = add("b");
    add("c");
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    QSignalSpy removed(&model(), &QAbstractItemModel::rowsRemoved);
    delete b;
    QCOMPARE(Names(model()), QStringLiteral("a,c"));
    QCOMPARE(counted.count(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 1);
  }

  void itemListedTwiceLeavesNoDanglingRow() {
    QObject* a = add("a");
    add("b");
    model().append(a);
    QObject* c = add("c");
    // And once more through a replacement.
    QVERIFY(
        model().setData(model().index(3), QVariant::fromValue(a), ImBaseListModel::kObjectRole));
    QCOMPARE(Names(model()), QStringLiteral("a,b,a,a"));
    delete a;
    QCOMPARE(Names(model()), QStringLiteral("b"));
    // The replaced item is no longer listed: deleting it changes nothing.
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    delete c;
    QCOMPARE(counted.count(), 0);
    QCOMPARE(Names(model()), QStringLiteral("b"));
  }

  void setDataReplacesAndWatchesTheNewItem() {
    add("a");
    QObject* old = add("b");
    add("c");
    QObject* fresh = Item("n", m_owner.get());
    QSignalSpy changed(&model(), &QAbstractItemModel::dataChanged);
    QVERIFY(model().setData(model().index(1), QVariant::fromValue(fresh),
                            ImBaseListModel::kObjectRole));
    QCOMPARE(Names(model()), QStringLiteral("a,n,c"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex().row(), 1);
    QCOMPARE(changed.first().at(1).toModelIndex().row(), 1);
    delete old;
    QCOMPARE(Names(model()), QStringLiteral("a,n,c"));
    delete fresh;
    QCOMPARE(Names(model()), QStringLiteral("a,c"));

    QVERIFY(!model().setData(model().index(0), QVariant::fromValue(m_owner.get()), 256));
    QVERIFY(!model().setData(model().index(7), QVariant::fromValue(m_owner.get()),
                             ImBaseListModel::kObjectRole));
    // A value that holds no item leaves the row as it is.
    QVERIFY(!model().setData(model().index(0), QVariant(5), ImBaseListModel::kObjectRole));
    QVERIFY(!model().setData(model().index(0), QVariant::fromValue<QObject*>(nullptr),
                             ImBaseListModel::kObjectRole));
    QCOMPARE(Names(model()), QStringLiteral("a,c"));
    QCOMPARE(changed.count(), 1);
  }

  void removeItemByRowAndByObject() {
    QObject* a = add("a");
    QObject* b = add("b");
    add("c");
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    model().removeItem(7);
    model().removeItem(-1);
    model().removeItem(m_owner.get());
    QCOMPARE(counted.count(), 0);
    model().removeItem(1);
    model().removeItem(a);
    QCOMPARE(Names(model()), QStringLiteral("c"));
    QCOMPARE(counted.count(), 2);
    // Removed items stay alive and are no longer watched.
    delete b;
    delete a;
    QCOMPARE(counted.count(), 2);
    QCOMPARE(Names(model()), QStringLiteral("c"));
  }

  // Items usually have no parent: an item that QML fetched with get() stays the
  // model's, so the script engine's collector never deletes it behind the list.
  void itemsFetchedByQmlStayAlive() {
    QPointer<QObject> item = new QObject;
    model().append(item);
    {
      QQmlEngine engine;
      engine.rootContext()->setContextProperty(QStringLiteral("listModel"), &model());
      QQmlExpression fetch(engine.rootContext(), nullptr, QStringLiteral("listModel.get(0)"));
      QCOMPARE(fetch.evaluate().value<QObject*>(), item.data());
      QQmlExpression(engine.rootContext(), nullptr, QStringLiteral("gc()")).evaluate();
      engine.collectGarbage();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(item);
    QCOMPARE(model().itemCount(), 1);
    delete item;
    QCOMPARE(model().itemCount(), 0);
  }

  void resetKeepsItemsAndForgetsThem() {
    QObject* a = add("a");
    add("b");
    QSignalSpy counted(&model(), &ImBaseListModel::itemCountChanged);
    QSignalSpy reset(&model(), &QAbstractItemModel::modelReset);
    model().reset();
    QCOMPARE(model().itemCount(), 0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(counted.count(), 1);
    QCOMPARE(a->objectName(), QStringLiteral("a"));
    delete a;
    QCOMPARE(counted.count(), 1);
    QCOMPARE(model().itemCount(), 0);
    // The model works on after a reset.
    add("z");
    QCOMPARE(Names(model()), QStringLiteral("z"));
  }
};

TESMO_CLIENT_TEST_MAIN(TestImBaseListModel)
#include "tst_imbaselistmodel.moc"
