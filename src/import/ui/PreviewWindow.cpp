#include "import/ui/PreviewWindow.h"

#include "db/Connection.h"
#include "db/ConnectionParameters.h"
#include "db/TableCatalogue.h"
#include "db/TableColumns.h"
#include "filelist/ui/FileListView.h"
#include "import/ui/ImportWindow.h"
#include "text/TextRules.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFont>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QRadioButton>
#include <QKeyEvent>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace quorvane {

namespace {

// How the model's kinds of cell and marked names look.
class PreviewLook final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto kind = PreviewModel::CellKind(QIdentityProxyModel::data(index, PreviewModel::CellKindRole).toInt());
        if (role == Qt::ForegroundRole && kind == PreviewModel::CellKind::Null)
            return QColor(Qt::gray);
        if (role == Qt::ForegroundRole && kind == PreviewModel::CellKind::NotLoaded)
            return QColor(Qt::darkRed);
        if (role == Qt::FontRole && kind != PreviewModel::CellKind::Value) {
            QFont font;
            font.setItalic(true);
            return font;
        }
        return QIdentityProxyModel::data(index, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && (role == Qt::DecorationRole || role == Qt::ForegroundRole)) {
            const auto mark = PreviewModel::NameMark(
                QIdentityProxyModel::headerData(section, orientation, PreviewModel::NameMarkRole).toInt());
            if (mark == PreviewModel::NameMark::None)
                return {};
            if (role == Qt::ForegroundRole)
                return QColor(Qt::darkRed);
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

bool SameReading(const FileCheckChoices& a, const FileCheckChoices& b)
{
    return a.format.separator == b.format.separator && a.format.encoding == b.format.encoding
           && a.format.quotedFields == b.format.quotedFields && a.detectTypes == b.detectTypes
           && a.doubleQuotesDropped == b.doubleQuotesDropped;
}

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString Warning(const QString& text) { return QStringLiteral("<b style=\"color:#a00000\">") + text + QStringLiteral("</b>"); }

// Numbers with thousands separators, whatever the system's language.
const QLocale kNumbers(QLocale::English, QLocale::UnitedStates);

QString LinesText(const CheckedLines& lines)
{
    if (lines.count == 0)
        return QStringLiteral("none");
    QStringList numbers;
    for (const qint64 line : lines.first)
        numbers << kNumbers.toString(line);
    QString text = kNumbers.toString(lines.count) + QStringLiteral(" (line ") + numbers.join(QStringLiteral(", "));
    if (lines.count > qint64(lines.first.size()))
        text += QStringLiteral(", ...");
    return Warning(text + QLatin1Char(')'));
}

}  // namespace

PreviewWindow::PreviewWindow(ImportWindow& window, const QString& path, int position)
    : QWidget(&window, Qt::Window), window_(window), path_(path), position_(position),
      table_(new QTableView(this)), target_(new QLabel(this)), progress_(new QProgressBar(this)),
      checkText_(new QLabel(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preview of ") + QFileInfo(path).fileName());
    resize(760, 460);

    auto* look = new PreviewLook(this);
    look->setSourceModel(&model_);
    table_->setModel(look);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    target_->setTextFormat(Qt::RichText);
    target_->setWordWrap(true);
    checkText_->setTextFormat(Qt::RichText);
    checkText_->setWordWrap(true);
    checkText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    progress_->setRange(0, 1000);
    progress_->setFormat(QStringLiteral("Checking the whole file: %p%"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(target_);
    layout->addWidget(table_, 1);
    layout->addWidget(progress_);
    layout->addWidget(checkText_);

    // Typing in a field changes the choices at every key: a short pause
    // gathers the changes into one refresh.
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(60);
    connect(&refreshTimer_, &QTimer::timeout, this, &PreviewWindow::refresh);
    const auto later = [this] { refreshTimer_.start(); };
    const ImportWindowControls& c = window.controls();
    connect(c.separatorEdit, &QLineEdit::textChanged, this, later);
    connect(c.tableNameEdit, &QLineEdit::textChanged, this, later);
    connect(c.encodingChoice, &QComboBox::currentTextChanged, this, later);
    connect(c.columnTypesChoice, &QComboBox::currentTextChanged, this, later);
    for (QAbstractButton* button : {static_cast<QAbstractButton*>(c.quotedFieldsCheck),
                                    static_cast<QAbstractButton*>(c.upperCaseNamesCheck),
                                    static_cast<QAbstractButton*>(c.matchNamesCheck),
                                    static_cast<QAbstractButton*>(c.createTableOption),
                                    static_cast<QAbstractButton*>(c.appendOption),
                                    static_cast<QAbstractButton*>(c.headerColumnsOption),
                                    static_cast<QAbstractButton*>(c.promptedColumnsOption)})
        connect(button, &QAbstractButton::toggled, this, later);
    connect(c.tableList, &QListWidget::itemSelectionChanged, this, later);
    refresh();
}

PreviewWindow::~PreviewWindow() { stopCheck(); }

void PreviewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

FileCheckChoices PreviewWindow::readingChoices(const ImportOptions& options) const
{
    FileCheckChoices choices;
    choices.format = {options.separator, options.encoding, options.quotedFields};
    choices.detectTypes = options.mode == ImportMode::CreateNew && options.detectColumnTypes;
    choices.doubleQuotesDropped = options.columnSource == ColumnSource::Prompted && !options.quotedFields;
    return choices;
}

void PreviewWindow::refresh()
{
    refreshTimer_.stop();
    const ImportOptions options = window_.importOptions().currentOptions();
    const FileCheckChoices choices = readingChoices(options);
    const bool readAgain = !checked_ || !SameReading(*checked_, choices);
    if (readAgain)
        startCheck(choices);

    PreviewSetup setup;
    setup.path = path_;
    setup.options = options;
    if (!readAgain && report_.finished) {
        if (options.encoding.isEmpty() && report_.encodingFinal)
            setup.settledEncoding = report_.encoding;
        setup.columnTypes = report_.columnTypes;
    }
    if (options.mode == ImportMode::AppendExisting && options.selectedTable)
        setup.tableColumns = tableColumns(*options.selectedTable);
    model_.load(setup);
    if (model_.canFetchMore({}))
        model_.fetchMore({});
    table_->resizeColumnsToContents();
    showTarget();
    showCheck();
}

std::optional<QStringList> PreviewWindow::tableColumns(const QString& table)
{
    const auto known = tableColumns_.find(table);
    if (known != tableColumns_.end())
        return known->second;
    std::optional<QStringList> names;
    try {
        Connection connection;
        connection.open(BuildConnectionString(window_.connectionParameters().currentParameters()));
        const std::vector<TableColumn> columns = ReadTableColumns(connection, table);
        if (!columns.empty()) {
            names.emplace();
            for (const TableColumn& column : columns)
                names->append(column.name);
        }
        tableColumnsFailure_.clear();
    } catch (const std::exception& failure) {
        tableColumnsFailure_ = DescribeFailure(failure);
        return std::nullopt;  // asked again at the next refresh
    }
    tableColumns_[table] = names;
    return names;
}

void PreviewWindow::startCheck(const FileCheckChoices& choices)
{
    stopCheck();
    checked_ = choices;
    report_ = {};
    const int generation = ++generation_;
    checkRunning_ = true;
    progress_->setValue(0);
    progress_->show();
    // The reports come back through this window's events; none is handled
    // after the window goes, which stops and joins the thread first.
    check_ = std::jthread([this, path = path_, choices, generation](std::stop_token stop) {
        const auto post = [this, generation](const FileCheckReport& report, int permille) {
            QMetaObject::invokeMethod(
                this, [this, report, permille, generation] { onCheckReport(report, permille, generation); },
                Qt::QueuedConnection);
        };
        const FileCheckReport report = CheckFile(path, choices, stop, post);
        if (!stop.stop_requested() && !report.finished)
            post(report, 1000);  // it could not be read
    });
}

void PreviewWindow::stopCheck()
{
    if (check_.joinable()) {
        check_.request_stop();
        check_.join();
    }
    checkRunning_ = false;
}

void PreviewWindow::onCheckReport(const FileCheckReport& report, int permille, int generation)
{
    if (generation != generation_)
        return;  // from a check that was stopped since
    const bool ended = report.finished || !report.failure.isEmpty();
    report_ = report;
    progress_->setValue(permille);
    if (!ended) {
        showCheck();
        return;
    }
    check_.join();
    checkRunning_ = false;
    progress_->hide();
    // What only the whole file tells: the encoding Automatic settles on, and
    // the detected types, which change the values shown.
    const PreviewSetup& shown = model_.setup();
    const bool settledElsewhere = shown.options.encoding.isEmpty() && report.encodingFinal && report.finished
                                  && report.encoding != FileEncoding::Utf8 && report.settledBy != QStringLiteral("byte-order mark");
    if (settledElsewhere || (readingChoices(shown.options).detectTypes && report.finished)) {
        PreviewSetup setup = shown;
        if (settledElsewhere)
            setup.settledEncoding = report.encoding;
        setup.columnTypes = report.columnTypes;
        model_.load(setup);
        if (model_.canFetchMore({}))
            model_.fetchMore({});
    }
    showCheck();
    emit checkEnded();
}

void PreviewWindow::showTarget()
{
    const ImportOptions& options = model_.setup().options;
    QString text;
    if (options.mode == ImportMode::CreateNew) {
        const QString expanded = ExpandTableName(options.tableNamePattern, position_);
        const QString name = options.upperCaseNames ? expanded.toUpper() : expanded;
        if (options.tableNamePattern.isEmpty())
            text = Warning(QStringLiteral("No table name: enter one."));
        else if (ListContains(window_.tableList().items(), name))
            text = QStringLiteral("Creates table ") + Warning(Escaped(name))
                   + Warning(QStringLiteral(": a table of that name is listed already, so the import would skip "
                                            "this file."));
        else
            text = QStringLiteral("Creates table <b>") + Escaped(name) + QStringLiteral("</b>.");
        if (options.columnSource == ColumnSource::Prompted)
            text += QStringLiteral(" The column names are asked for when the import runs.");
    } else if (!options.selectedTable) {
        text = Warning(QStringLiteral("Appends to the table selected in the list: select one."));
    } else {
        text = QStringLiteral("Appends to table <b>") + Escaped(*options.selectedTable) + QStringLiteral("</b>");
        const std::optional<QStringList>& columns = model_.setup().tableColumns;
        const QStringList& fields = model_.header();
        if (!columns) {
            text += QStringLiteral(": its columns are not known")
                    + (tableColumnsFailure_.isEmpty() ? QString() : QStringLiteral(" (") + Escaped(tableColumnsFailure_) + QLatin1Char(')'))
                    + QLatin1Char('.');
        } else {
            text += options.matchColumnsByName ? QStringLiteral(", each field by its name:")
                                               : QStringLiteral(", the file's fields by position:");
            QString rows = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr><td>Table</td>");
            QString fileRow = QStringLiteral("<tr><td>File</td>");
            const qsizetype count = std::max(columns->size(), fields.size());
            for (qsizetype i = 0; i < count; ++i) {
                rows += QStringLiteral("<td>") + (i < columns->size() ? Escaped(columns->at(i)) : Warning(QStringLiteral("-"))) + QStringLiteral("</td>");
                fileRow += QStringLiteral("<td>") + (i < fields.size() ? Escaped(fields.at(i)) : Warning(QStringLiteral("-"))) + QStringLiteral("</td>");
            }
            text += rows + QStringLiteral("</tr>") + fileRow + QStringLiteral("</tr></table>");
            if (columns->size() != fields.size() && !options.matchColumnsByName)
                text += Warning(QStringLiteral("The table has %1 columns and the file %2: the import would refuse "
                                               "this file.")
                                    .arg(columns->size())
                                    .arg(fields.size()));
        }
    }
    if (!model_.failure().isEmpty())
        text += QStringLiteral("<br>") + Warning(Escaped(model_.failure()));
    target_->setText(text);
}

void PreviewWindow::showCheck()
{
    const FileCheckReport& r = report_;
    QStringList lines;
    if (!r.failure.isEmpty()) {
        checkText_->setText(Warning(Escaped(r.failure)));
        return;
    }
    const QLocale& numbers = kNumbers;
    const QString sofar = r.finished ? QString() : QStringLiteral(" so far");
    lines << QStringLiteral("Encoding: <b>") + Escaped(r.encoding.isEmpty() ? QStringLiteral("...") : r.encoding)
                 + QStringLiteral("</b>") + (r.settledBy.isEmpty() || !r.encodingFinal ? sofar : QStringLiteral(" (") + r.settledBy + QLatin1Char(')'))
                 + QStringLiteral(". Line endings: ") + r.lineEndings() + sofar + QLatin1Char('.');
    lines << QStringLiteral("Records: ") + numbers.toString(r.records) + sofar + QLatin1Char('.');
    if (!r.difference)
        lines << QStringLiteral("Field counts: every record has the header's %1 fields").arg(r.header.size()) + sofar + QLatin1Char('.');
    else if (r.difference->unclosedQuote)
        lines << Warning(QStringLiteral("Line %1 opens a double quote that is never closed.")
                             .arg(numbers.toString(r.difference->line)));
    else
        lines << Warning(QStringLiteral("Line %1 has %2 fields where the header has %3.")
                             .arg(numbers.toString(r.difference->line))
                             .arg(r.difference->found)
                             .arg(r.difference->expected));
    lines << QStringLiteral("Undecodable lines: ") + LinesText(r.undecodable) + QStringLiteral(". Single-field lines: ")
                 + LinesText(r.singleField) + QStringLiteral(". Lines holding a NUL: ") + LinesText(r.nul)
                 + QLatin1Char('.');
    if (checked_)
        for (const QString& hint : r.hints(*checked_))
            lines << Warning(Escaped(hint));
    checkText_->setText(lines.join(QStringLiteral("<br>")));
}

}  // namespace quorvane
