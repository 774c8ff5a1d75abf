// The message item: every property over its one map, the setter rule (no write and
// no signal for an equal value, one signal for a new one) and setData's signals.
#include <QMetaProperty>
#include <QtTest>

#include "conversations/ImMsgEntity.h"
#include "support/ClientTestMain.h"

namespace {
// Records the index of every signal it receives, in arrival order.
class SignalRecorder : public QObject {
  Q_OBJECT

 public:
  explicit SignalRecorder(QObject* source) {
    const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("record()"));
    const QMetaObject* meta = source->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
      connect(source, meta->property(i).notifySignal(), this, slot);
  }
  QStringList names;

 public slots:
  void record() {
    names << QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name());
  }
};

QString KeyOf(const QString& property) {
  return property == QLatin1String("audioText") ? QStringLiteral("audiotext") : property;
}

QVariant EmptyOf(int type) {
  switch (type) {
    case QMetaType::Int:
      return 0;
    case QMetaType::QString:
      return QString();
    case QMetaType::Float:
      return 0.0f;
    case QMetaType::Bool:
      return false;
  }
  return QVariant();
}

QVariant NewValueOf(int type) {
  switch (type) {
    case QMetaType::Int:
      return 7;
    case QMetaType::QString:
      return QStringLiteral("x\xc3\xa9");
    case QMetaType::Float:
      return 1.5f;
    case QMetaType::Bool:
      return true;
  }
  return QVariant();
}
}  // namespace

class TestImMsgEntity : public QObject {
  Q_OBJECT

 private slots:
  void everyPropertyIsDeclaredInOrder() {
    const QMetaObject& meta = ImMsgEntity::staticMetaObject;
    QCOMPARE(meta.propertyCount() - meta.propertyOffset(), ImMsgEntity::kPropertyCount);
    for (int i = 0; i < ImMsgEntity::kPropertyCount; ++i) {
      const QMetaProperty property = meta.property(meta.propertyOffset() + i);
      QCOMPARE(property.name(), ImMsgEntity::kPropertyNames[i]);
      QVERIFY(property.isReadable() && property.isWritable() && property.hasNotifySignal());
      QCOMPARE(property.notifySignal().name(), QByteArray(property.name()) + "Changed");
    }
  }

  void setterRule_data() {
    QTest::addColumn<int>("index");
    for (int i = 0; i < ImMsgEntity::kPropertyCount; ++i)
      QTest::newRow(ImMsgEntity::kPropertyNames[i]) << i;
  }

  // Default, the same value (nothing written, no signal), a new value (written under
  // its key, one signal), the same again (no signal), read back from a built map.
  void setterRule() {
    QFETCH(int, index);
    const QMetaObject& meta = ImMsgEntity::staticMetaObject;
    const QMetaProperty property = meta.property(meta.propertyOffset() + index);
    const QString key = KeyOf(QString::fromLatin1(property.name()));
    const int type = property.userType();

    ImMsgEntity item;
    SignalRecorder recorder(&item);
    QCOMPARE(item.property(property.name()), EmptyOf(type));

    QVERIFY(property.write(&item, EmptyOf(type)));
    QVERIFY(recorder.names.isEmpty());
    QVERIFY(!item.getData().contains(key));

    QVERIFY(property.write(&item, NewValueOf(type)));
    QCOMPARE(recorder.names, QStringList{QString::fromLatin1(property.name()) + "Changed"});
    QCOMPARE(item.property(property.name()), NewValueOf(type));
    QVERIFY(item.getData().contains(key));

    QVERIFY(property.write(&item, NewValueOf(type)));
    QCOMPARE(recorder.names.size(), 1);

    ImMsgEntity built(QVariantMap{{key, NewValueOf(type)}});
    QCOMPARE(built.property(property.name()), NewValueOf(type));
  }

  void settersReturnTheValueAndKeepAbsentKeysAbsent() {
    ImMsgEntity item(QVariantMap{{"sendstate", 2}});
    SignalRecorder recorder(&item);
    QCOMPARE(item.setSendstate(2), 2);
    QVERIFY(recorder.names.isEmpty());

    ImMsgEntity empty;
    SignalRecorder emptyRecorder(&empty);
    QCOMPARE(empty.setSendstate(0), 0);
    QCOMPARE(empty.setShowTime(false), false);
    QCOMPARE(empty.setIsMute(false), false);
    QVERIFY(empty.getData().isEmpty());
    QVERIFY(emptyRecorder.names.isEmpty());

    QCOMPARE(empty.setDownloadState(3), 3);
    QCOMPARE(empty.setAmount(1.5f), 1.5f);
    QCOMPARE(empty.setAmount(1.5f), 1.5f);
    QCOMPARE(emptyRecorder.names, (QStringList{"downloadStateChanged", "amountChanged"}));
  }

  void audioTextLivesUnderItsColumnKey() {
    ImMsgEntity item;
    item.setAudioText(QStringLiteral("hello"));
    QCOMPARE(item.getData().value("audiotext").toString(), QStringLiteral("hello"));
    QVERIFY(!item.getData().contains("audioText"));

    ImMsgEntity misspelt(QVariantMap{{"audioText", "not seen"}});
    QCOMPARE(misspelt.audioText(), QString());
  }

  void setDataAnnouncesEveryPropertyInOrder() {
    const QVariantMap data{{"id", 5}, {"content", "hi"}, {"showTime", true}};
    ImMsgEntity item(data);
    SignalRecorder recorder(&item);
    item.setData(data);
    QStringList expected;
    for (const char* name : ImMsgEntity::kPropertyNames)
      expected << QString::fromLatin1(name) + "Changed";
    QCOMPARE(recorder.names, expected);
    QCOMPARE(item.getData(), data);

    item.setData(QVariantMap{{"id", 9}});
    QCOMPARE(item.id(), 9);
    QCOMPARE(item.content(), QString());
    QCOMPARE(item.showTime(), false);
    QCOMPARE(recorder.names.size(), 2 * ImMsgEntity::kPropertyCount);
  }

  // The map is held by value: the caller's copy never changes under the item.
  void theCallersMapStaysItsOwn() {
    QVariantMap data{{"id", 1}};
    ImMsgEntity item(data);
    item.setId(2);
    QCOMPARE(data.value("id").toInt(), 1);
    QVariantMap copy = item.getData();
    copy.insert("id", 3);
    QCOMPARE(item.id(), 2);
  }
};

TESMO_CLIENT_TEST_MAIN(TestImMsgEntity)
#include "tst_immsgentity.moc"
