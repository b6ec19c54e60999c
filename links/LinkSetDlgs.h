// The link settings dialogs the "Setting" buttons of the External page open, each modal: the serial
// settings, the TCP or UDP address and ports, and the WT JSON API's base URL and key. "Okay" writes
// ExtItf.ini and the settings in the match record; "Cancel" changes nothing. UI thread only.
//
// Kinds: 0 OVR, 1 IVR, 2 TVG, 3 pre-registration (TCP only), 4 Swiss Timing (serial only).
#pragma once

#include <QDialog>

#include <string>
#include <vector>

struct MatchData;
class QComboBox;
class QLabel;
class QLineEdit;

class CTK_SerialSetDlg : public QDialog {
    Q_OBJECT
public:
    enum Ids { DataBits = 1042, Parity = 1043, StopBits = 1044, Baudrate = 1045, ComPort = 1046 };

    CTK_SerialSetDlg(MatchData* md, int kind, QWidget* parent = nullptr);

    // The machine's serial devices into the port list (the operator may also type a path).
    void FillComPorts(const std::vector<std::u16string>& ports);
    // The kind's settings into the lists.
    void OnInitDialog();
    // "Okay": the lists into ExtItf.ini and the record.
    void SaveSettings();

    QComboBox* List(int id) const;

private:
    MatchData* m_pData;
    int m_nKind;
};

class CTK_TcpUdpSetDlg : public QDialog {
    Q_OBJECT
public:
    enum Ids { Tx = 1044, Rx = 1045, Address = 1269, TxLabel = 1270, RxLabel = 1271 };

    // transport 1 TCP, 2 UDP.
    CTK_TcpUdpSetDlg(MatchData* md, int kind, int transport, QWidget* parent = nullptr);

    void OnInitDialog();
    // "Okay": false, after saying why, when the address or a port is not valid; nothing is written then.
    bool SaveSettings();

    QLineEdit* Edit(int id) const;
    QLabel* Label(int id) const;

private:
    MatchData* m_pData;
    int m_nKind;
    int m_nTransport;
};

class CTK_JsonSetDlg : public QDialog {
    Q_OBJECT
public:
    enum Ids { Mat = 1042, BaseUrl = 1424, ApiKey = 1425 };

    explicit CTK_JsonSetDlg(MatchData* md, QWidget* parent = nullptr);

    void OnInitDialog();
    // "Okay": the base URL into the record and ExtItf.ini, the API key into the record only (it lasts until
    // the program ends), the mat into the record.
    void SaveSettings();

    QWidget* Item(int id) const;

private:
    MatchData* m_pData;
};
