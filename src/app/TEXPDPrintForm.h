#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QScrollArea>

#include "history/PrintHistory.h"
#include "waybill/WaybillTemplate.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QKeyEvent;
class QToolButton;
class AddressBook;
class AddressPickers;
class LayoutHistory;
class ProfileFile;
class TReportBand;
class TReportJob;
class TReportPage;
class TControlEdit;
class WaybillField;

// The main window: the courier's form at true size with the ten fields over it, and around it
// the size, font, courier, printer, picker and template controls. Every named control carries
// its name as its Qt object name. The handlers a subsystem owns are defined in that
// subsystem's folder, so the courier switch lives in layout/, the template load in template/.
class TEXPDPrintForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TEXPDPrintForm(QWidget* parent = nullptr);
    ~TEXPDPrintForm() override;

    // The field of the given name, or nullptr when the layout editor has deleted it.
    WaybillField* field(const QString& name) const;
    // Every combo box on the band, back to front: the fields and pasted copies of them.
    QList<WaybillField*> bandFields() const;

    // Top strip.
    QFrame* pnl1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtLong = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtWide = nullptr;
    QCheckBox* chk1 = nullptr;
    QComboBox* cbbTextfontname = nullptr;
    QComboBox* cbbfontSize = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* btnApply = nullptr;
    QComboBox* cbbNames = nullptr;
    QPushButton* btnAddExpress = nullptr;
    QPushButton* btnRemoveExpress = nullptr;
    QComboBox* cbbPrinterName = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btn1 = nullptr;
    QToolButton* btnBatch = nullptr;  // 批量打印
    QComboBox* cbbSendNames = nullptr;
    QComboBox* cbbCustomerNames = nullptr;
    QPushButton* btnHelp = nullptr;
    QPushButton* Button2 = nullptr;
    QToolButton* btnDefault = nullptr;
    QToolButton* btnSaveDefault = nullptr;
    QFrame* pnlHidden = nullptr;

    // The page area.
    QScrollArea* pnl3 = nullptr;  // scrolls when the page is larger than the area
    QFrame* pnl6 = nullptr;
    TReportPage* ReportPage1 = nullptr;
    TReportBand* DetailBand1 = nullptr;
    // The courier's form picture. The layout editor leaves it alone (it is pinned), and like
    // every reference to a band child it is a QPointer, so nothing can leave it dangling.
    QPointer<QLabel> Image1;
    // The layout editor over the band, off until CheckBox1 is ticked.
    TControlEdit* ControlEdit1 = nullptr;

    QList<QLabel*> StatusBar1Panels;
    // Calibration and precise editing, at the status bar's right end (the top strip has no
    // room left): the selected field's place, grid snapping, the calibration dialog.
    QLabel* lblFieldReadout = nullptr;
    QCheckBox* chkSnapToGrid = nullptr;   // "对齐网格"
    QToolButton* btnCalibrate = nullptr;  // "打印校准"
    // The undo history of the layout on the band, and its two commands (Ctrl+Z; Ctrl+Y or
    // Ctrl+Shift+Z).
    LayoutHistory* layoutHistory = nullptr;
    QAction* actUndo = nullptr;
    QAction* actRedo = nullptr;

    // The courier shown: the section of its template in the settings file.
    QString currentTemplate() const;

    // The template as the page shows it: the loaded set's design values, except for what the
    // user moved or resized on the page, which is taken from the screen; font, printer and size
    // from the pickers and edits; the fields in the band's child order. (app/)
    WaybillTemplate layoutOnScreen() const;
    // The fields' texts as typed or picked; a field showing its caption is empty.
    WaybillTexts textsOnScreen() const;
    // The fields' captions (the placeholders shown while they are empty).
    WaybillTexts captionsOnScreen() const;
    // A band field shown at `shown` (band pixels) in design pixels at its set's resolution:
    // the stored value wherever the screen still shows it, as layoutOnScreen() takes it.
    TemplateField designOf(const QWidget* field, const QRect& shown) const;

    // Precise editing (app/PreciseEditing.cpp).
    void chkSnapToGridClick();
    // The status bar's read-out of the selected field (empty without a single selection).
    void updateFieldReadout();
    void showFieldReadout(const QWidget* field, const QRect& shown);
    // Moves every field on the band by millimetres on the form, as one undoable step.
    void shiftAllFields(double dxMillimetres, double dyMillimetres);
    // With moved fields not saved, asks whether to save them ("保存更改"): true to go on
    // (saved or let go), false to stay.
    bool settleUnsavedLayout();

    // The calibration dialog and its sheet (dialogs/, printing/).
    void btnCalibrateClick();
    void printCalibrationPage(QWidget* messageParent);

    // Start-up and shut-down (app/).
    void FormCreate();
    void FormShow();
    void CheckBox1Click();

    // The settings dialog and the help window (dialogs/).
    void Button3Click();
    void btnHelpClick();

    // Template load and save (template/).
    void CbbReadIni(ProfileFile& ini, bool isDefault);
    void CbbWriteIni(ProfileFile& ini, bool isDefault);
    void btnApplyClick();
    void btnSaveDefaultClick();
    void btnDefaultClick();
    void pnlHiddenDblClick();

    // Page geometry, courier switch and fonts (layout/).
    void SetWaybillSize(double height, double width);
    void FitBandToPage();
    void edtLongChange();
    void edtWideChange();
    // Returns true when the key is to be discarded.
    bool edtLongKeyPress(QKeyEvent* event);
    void pnl6Resize();
    // The grey area fills the page area and is never smaller than the page with its gap, so
    // the page area scrolls to every part of a large page.
    void pnl6FollowPage();
    // At the first show: the window grows from its normal size until the whole page can be
    // seen, as far as the screen's available area allows.
    void fitWindowToPage();
    void cbbNamesChange();
    // Couriers the user adds after the three built-in ones (layout/CourierCatalog.cpp).
    void ListAddedCouriers();  // creation: the settings file's added couriers into cbbNames
    void btnAddExpressClick();
    // Removes the courier shown, when it is an added one, after the user confirmed it; its
    // picture and template stay unless the user confirms deleting them too.
    void btnRemoveExpressClick();
    // Why `name` cannot name a new courier (empty when it can).
    QString courierNameRefusal(const QString& name) const;
    // Stores the picture as the courier's, gives it working and default sets of the given
    // size (millimetres, width × height), lists it and switches to it.
    void AddCourier(const QString& name, const QString& picture, const QSize& millimetres);
    static void ListFontNames(QComboBox* list);
    void cbbTextfontnameChange();
    void cbbfontSizeChange();

    // Address book, pickers and the editor dialog (addressbook/).
    void ConnectAddressBook();  // creation step 1
    void FillAddressPickers();  // creation step 2; a failing statement ends creation silently
    void cbbSendNamesChange();
    void cbbCustomerNamesChange();
    void cbbSendNamesKeyUp(int key);
    void cbbCustomerNamesKeyUp(int key);
    void Button2Click();
    // For the courier switch: clears both pickers' choice and runs their change handlers
    // (customers first), so that all ten fields show their captions.
    void ResetAddressPickers();
    AddressBook* addressBook = nullptr;        // ADOConnection1, ADOQuery1, ADOQuery2
    AddressPickers* addressPickers = nullptr;  // wires cbbSendNames and cbbCustomerNames

    // Printer choice, printing and preview (printing/).
    void cbbPrinterNameChange();
    void Button1Click();
    void btnPrintClick();
    void btn1Click();
    // The batch dialog (batch/).
    void btnBatchClick();
    void ReportPage1Preview(TReportJob* job);
    // The print history "打印记录" (history/): the window, and a reprint of waybills from it as
    // one job on the template shown and its printer.
    QToolButton* btnHistory = nullptr;  // at the right end of the status bar
    void btnHistoryClick();
    void reprintWaybills(const QList<WaybillTexts>& waybills, QWidget* messageParent);
    // The position, in the printer list as it stands now, of the printer a job is to go to:
    // the chosen one, or the system's default when none is chosen. When there is none to use
    // (not installed, gone since it was chosen, nothing chosen and no default) the user is
    // told beside `messageParent` and SilentAbort is thrown; a gone printer refreshes the list.
    int printerIndexForOutput(QWidget* messageParent);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTopStrip();
    void buildPageArea();
    void buildStatusBar();
    QToolButton* addStatusBarButton(const QString& text, const QString& name,
                                    const QString& toolTip);
    void createFields();
    void connectHandlers();

    // The size edits' whole numbers in millimetres: width is edtWide, height edtLong. Raises
    // the user's error for an empty edit or a text that is no whole number.
    QSize sizeEditsMillimetres() const;
    // The size edits' whole numbers applied to the page (Enter, saves, printing).
    void applySizeEdits();
    void followRatio(QLineEdit* changed, QLineEdit* other, bool changedIsHeight);
    void applyFontFaceToFields(const QString& face);
    void applyFontSizeToFields(int pointSize);
    void fillPrinterList();
    // The printer list anew, with `keep` selected when it is still installed.
    void refillPrinterList(const QStringList& installed, const QString& keep);
    // "未安装打印机！" and SilentAbort when no printer is installed.
    void requireInstalledPrinter(QWidget* messageParent);
    void usePrinterChoice();
    // The template shown, with the print offsets as the settings file holds them now.
    WaybillTemplate layoutToPrint() const;
    void composePrintItems();
    void runOutputCommand(bool preview);
    // The size edits as the paper to print on, refused with the user's error when no waybill
    // can be that small or that large.
    QSize printableSizeOfEdits() const;
    // Places the fields for the screen's resolution and remembers the layout as the loaded one.
    void showLayout(const WaybillTemplate& layout);

    void buildPreciseEditing();

    bool m_shown = false;
    // The courier whose template the band shows: what a save after the question concerns.
    QString m_shownCourier;
    // The set as loaded (or saved) last, in design pixels: what "unmoved" is measured against.
    WaybillTemplate m_loadedLayout;
    // What the latest composition put on paper (courier and texts), for the print history.
    PrintedJob m_composedJob;
};

// The platform default printer's name as the printer list spells it; empty with no printer or
// when the platform names no default.
QString GetDefaultPrinterName();
