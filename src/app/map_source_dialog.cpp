#include "map_source_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "chart/map_tiles.h"

namespace krelby {

MapSourceDialog::MapSourceDialog(const QString& urlTemplate, const QString& attribution, QWidget* parent)
    : QDialog(parent) {
    setObjectName("MapSourceDialog");
    setWindowTitle("Map source");
    address_ = new QLineEdit(urlTemplate);
    address_->setObjectName("MapTemplate");
    address_->setPlaceholderText("https://tiles.example.com/{z}/{x}/{y}.png");
    address_->setMinimumWidth(380);
    attribution_ = new QLineEdit(attribution);
    attribution_->setObjectName("MapAttribution");
    attribution_->setPlaceholderText("The credit the source's terms ask for");
    problem_ = new QLabel;
    problem_->setObjectName("MapTemplateProblem");
    problem_->setStyleSheet("color: #a00000");
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto* form = new QFormLayout;
    form->addRow("Tile address:", address_);
    form->addRow("", problem_);
    form->addRow("Attribution:", attribution_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
    connect(address_, &QLineEdit::textChanged, this, &MapSourceDialog::Check);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Check();
}

QString MapSourceDialog::Template() const { return address_->text().trimmed(); }
QString MapSourceDialog::Attribution() const { return attribution_->text().trimmed(); }

void MapSourceDialog::Check() {
    const QString problem = TemplateProblem(Template());
    problem_->setText(problem);
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(problem.isEmpty());
}

}  // namespace krelby
