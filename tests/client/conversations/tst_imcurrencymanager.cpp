// The coin list: filling from the server's array, replacing on a second fill,
// removal by id and ownership of every item it made.
#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "conversations/ImCurrencyEntity.h"
#include "conversations/ImCurrencyManager.h"
#include "support/ClientTestMain.h"

namespace {
QJsonArray Coins(const char* json) { return QJsonDocument::fromJson(json).array(); }

QString Names(const ImCurrencyManager& model) {
  QStringList names;
  for (int row = 0; row < model.itemCount(); ++row)
    names << qobject_cast<ImCurrencyEntity*>(model.get(row))->name();
  return names.join(QLatin1Char(','));
}

QList<QPointer<QObject>> Watch(const ImCurrencyManager& model) {
  QList<QPointer<QObject>> watched;
  for (int row = 0; row < model.itemCount(); ++row) watched << model.get(row);
  return watched;
}

bool AllGone(const QList<QPointer<QObject>>& watched) {
  for (const auto& item : watched)
    if (item) return false;
  return true;
}

const char* const kTwoCoins =
    R"([{"id": 1, "name": "BTC", "icon": "b.png", "color": "#f7931a", "url": "u1", "rank": 1},
        {"id": 2, "name": "ETH", "icon": "e.png", "color": "#3c3c3d", "url": "u2"}])";
}  // namespace

class TestImCurrencyManager : public QObject {
  Q_OBJECT

  std::unique_ptr<ImCurrencyManager> m_model;
  std::unique_ptr<QAbstractItemModelTester> m_tester;

 private slots:
  void init() {
    m_model = std::make_unique<ImCurrencyManager>();
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
  }

  void cleanup() {
    m_tester.reset();
    m_model.reset();
  }

  void fillKeepsArrayOrderAndEveryKey() {
    QSignalSpy added(m_model.get(), &ImBaseListModel::itemAdded);
    QSignalSpy counted(m_model.get(), &ImBaseListModel::itemCountChanged);
    m_model->addData(Coins(kTwoCoins));
    QCOMPARE(Names(*m_model), QStringLiteral("BTC,ETH"));
    QCOMPARE(added.count(), 2);
    QCOMPARE(counted.count(), 3);  // one per item, then one more
    ImCurrencyEntity* btc = m_model->entity(1);
    QVERIFY(btc);
    QCOMPARE(btc->icon(), QStringLiteral("b.png"));
    QCOMPARE(btc->color(), QStringLiteral("#f7931a"));
    QCOMPARE(btc->url(), QStringLiteral("u1"));
    QCOMPARE(btc->data().value(QStringLiteral("rank")).toInt(), 1);
    QCOMPARE(btc->property("name").toString(), QStringLiteral("BTC"));
  }

  void emptyArrayEmitsNothing() {
    m_model->addData(Coins(kTwoCoins));
    QSignalSpy counted(m_model.get(), &ImBaseListModel::itemCountChanged);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    m_model->addData(QJsonArray());
    QCOMPARE(counted.count(), 0);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(Names(*m_model), QStringLiteral("BTC,ETH"));
  }

  void secondFillReplacesAndFreesTheFirst() {
    m_model->addData(Coins(kTwoCoins));
    const auto first = Watch(*m_model);
    m_model->addData(Coins(kTwoCoins));
    QCOMPARE(Names(*m_model), QStringLiteral("BTC,ETH"));
    QVERIFY(AllGone(first));
    m_model->addData(Coins(R"([{"id": 3, "name": "DOGE"}])"));
    QCOMPARE(Names(*m_model), QStringLiteral("DOGE"));
    QVERIFY(!m_model->entity(1));
  }

  void repeatedIdsAndRemoval() {
    m_model->addData(Coins(R"([{"id": 7, "name": "old"}, {"id": 7, "name": "new"},
                               {"name": "noid"}])"));
    QCOMPARE(Names(*m_model), QStringLiteral("old,new,noid"));
    QCOMPARE(m_model->entity(0)->name(), QStringLiteral("noid"));
    const auto all = Watch(*m_model);

    m_model->removeData(42);  // not held
    QCOMPARE(Names(*m_model), QStringLiteral("old,new,noid"));

    m_model->removeData(7);  // the later one only
    QCOMPARE(Names(*m_model), QStringLiteral("old,noid"));
    QVERIFY(!all[1]);
    m_model->removeData(7);
    QCOMPARE(Names(*m_model), QStringLiteral("old,noid"));

    m_model->wipeData();
    QCOMPARE(m_model->itemCount(), 0);
    QVERIFY(AllGone(all));
  }

  void destructionFreesEveryItem() {
    m_model->addData(Coins(R"([{"id": 5, "name": "a"}, {"id": 5, "name": "b"}])"));
    const auto all = Watch(*m_model);
    // An item a view took out of the list is still the manager's.
    m_model->removeItem(1);
    m_tester.reset();
    m_model.reset();
    QVERIFY(AllGone(all));
  }

  void entitySettersSignalOnlyOnChange() {
    ImCurrencyEntity coin(QVariantMap{});
    QSignalSpy ids(&coin, &ImCurrencyEntity::idChanged);
    QSignalSpy names(&coin, &ImCurrencyEntity::nameChanged);
    coin.setId(0);
    coin.setName(QString());
    QCOMPARE(ids.count(), 0);
    QCOMPARE(names.count(), 0);
    QVERIFY(!coin.data().contains(QStringLiteral("id")));
    coin.setId(9);
    coin.setId(9);
    coin.setName(QStringLiteral("x"));
    coin.setName(QStringLiteral("x"));
    QCOMPARE(ids.count(), 1);
    QCOMPARE(names.count(), 1);
    QCOMPARE(coin.data().value(QStringLiteral("id")).toInt(), 9);
  }
};

TESMO_CLIENT_TEST_MAIN(TestImCurrencyManager)
#include "tst_imcurrencymanager.moc"
