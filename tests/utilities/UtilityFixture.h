#pragma once
// Owners, animals, addresses and groups the utility screens find and
// export: accents, quotes, % and _ in names, a repeated address link, an
// older address and group, inactive and missing owners.
#include "db/DataModule.h"
#include "db/Sql.h"
#include "registry/RegistryFixture.h"

#include <QDateTime>
#include <utility>

namespace UtilityFixture {

inline void fill(DataModule &dm)
{
    RegistryFixture::fill(dm);
    Connection &c = dm.main();
    auto run = [&c](const char *sql, const QVariantList &values) {
        QVariantMap p;
        for (int i = 0; i < values.size(); ++i)
            p.insert(QStringLiteral("p%1").arg(i), values.at(i));
        Sql::exec(c, QString::fromUtf8(sql), p);
    };
    run("insert into distrito (Id_Distrito, Nome, Ind_Status) values (:p0, :p1, 'ATIVO')", {12, QStringLiteral("DISTRITO DOZE")});
    run("insert into raca (Id_Raca, Nome, Ind_Status) values (:p0, :p1, 'ATIVO')", {901, QStringLiteral("VIRA-LATA")});
    run("insert into pelo (Id_pelo, Descricao, Ind_Status) values (:p0, :p1, 'ATIVO')", {901, QStringLiteral("CURTÍSSIMO")});
    run("insert into porte (Id_porte, Descricao, Ind_Status) values (:p0, :p1, 'ATIVO')", {901, QStringLiteral("MÉDIO")});
    for (int g : {901, 902})
        run("insert into grupo_animal (Id_Grupo_Animal, Nome, Ind_Status) values (:p0, :p1, 'ATIVO')",
            {g, QStringLiteral("GRUPO %1").arg(g)});

    const char *address = "insert into endereco (Id_Endereco, Id_Distrito, COD_AREA_ABRN, NUM_LOGR, NUM_SEQU_LOGR, TIP_LOGR, "
                          "NOM_LOGR, NUM_IMOV_LOGR, DES_CMPL_ENDR, NUM_BAIR, NOM_BAIR, NUM_CEP, num_locl, nom_locl, End_X, End_Y) "
                          "values (:p0, :p1, :p2, :p3, 1, 'RUA', :p4, :p5, :p6, :p7, :p8, :p9, 1, 'SEDE', :p10, :p11)";
    run(address, {2001, 3, 3001, 1001, QStringLiteral("JOANA D'ARC"), 100, QStringLiteral("APTO 5 -- FUNDOS"), 1,
                  QStringLiteral("CENTRO"), QStringLiteral("08000-001"), 1.5, -2.25});
    run(address, {2002, 12, 3002, 1002, QStringLiteral("AVENIDA ÉBANO"), 7, QStringLiteral("CASA 100%"), 2,
                  QStringLiteral("NORTE"), QStringLiteral("08000-002"), 10.0, 20.0});
    run(address, {2000, 5, 3001, 1003, QStringLiteral("RUA VELHA"), 1, QString(), 1, QStringLiteral("CENTRO"),
                  QStringLiteral("08000-003"), 0.0, 0.0});

    const char *owner = "insert into proprietario (Id_Proprietario, Nome, Telefone_Residencial, Tipo_Pessoa, Num_CPF_CNPJ, "
                        "Num_CI, Id_Endereco, Status_Registro) values (:p0, :p1, :p2, :p3, :p4, :p5, :p6, :p7)";
    run(owner, {1001, QStringLiteral("JOSÉ D'ÁVILA"), QStringLiteral("1133334444"), QStringLiteral("FÍSICA"),
                QStringLiteral("52998224725"), QStringLiteral("MG-1'2"), 2001, QStringLiteral("ATIVO")});
    run(owner, {1002, QStringLiteral("MARIA 100% _SILVA"), QString(), QStringLiteral("JURÍDICA"),
                QStringLiteral("11222333000181"), QStringLiteral("X"), 2002, QStringLiteral("ATIVO")});
    run(owner, {1003, QStringLiteral("JOSEFA"), QString(), QStringLiteral("FÍSICA"), QStringLiteral("1"),
                QStringLiteral("Y"), 2000, QStringLiteral("INATIVO")});

    const char *animal = "insert into animal (Id_Animal, Id_Proprietario, Id_Especie, Id_Raca, Id_Pelo, Id_Porte, Nome, Sexo, "
                         "Data_Nascimento, Esterilizado, Num_Microchip, Cor, Sinais, Num_Pedigree, OBS, Ind_End_Animal_Prop, "
                         "Id_Grupo_Animal) values (:p0, :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11, :p12, :p13, "
                         ":p14, 'S', :p15)";
    const QVariant none;
    // The birth hour is stored as typed by an older screen: 10:30.
    run(animal, {5001, 1001, 1, 901, 901, 901, QStringLiteral("REX"), QStringLiteral("M"),
                 QDateTime(QDate(2020, 3, 15), QTime(10, 30)), QStringLiteral("SIM"), QStringLiteral("982 000 123"),
                 QStringLiteral("CARAMELO"), QStringLiteral("MANCHA NA ORELHA"), QStringLiteral("P-1"),
                 QStringLiteral("Ração €"), 901});
    run(animal, {5002, 1001, 2, none, none, none, QStringLiteral("MIMI"), QStringLiteral("F"),
                 QDateTime(QDate(2020, 3, 16), QTime(0, 0)), QStringLiteral("NAO"), none, QStringLiteral("BRANCA"),
                 none, none, none, 902});
    run(animal, {5003, 1002, 1, none, none, none, QStringLiteral("BOB_%"), QStringLiteral("M"), none,
                 QStringLiteral("SIM"), QString(), none, none, none, none, none});
    run(animal, {5004, 1003, 1, none, none, none, QStringLiteral("TOTO"), QStringLiteral("M"), none,
                 QStringLiteral("SIM"), none, none, none, none, none, none});
    run(animal, {5005, none, 1, none, none, none, QStringLiteral("SEM DONO"), QStringLiteral("M"), none,
                 QStringLiteral("SIM"), none, none, none, none, none, none});
    run(animal, {5006, 9999, 1, none, none, none, QStringLiteral("DONO SUMIDO"), QStringLiteral("M"), none,
                 QStringLiteral("SIM"), none, none, none, none, none, none});

    // An empty microchip, as older screens saved it.
    run("update animal set Num_Microchip = '' where Id_Animal = :p0", {5003});
    // REX moved from 2000 to 2001, and 2001 was linked twice.
    for (const auto &[a, e] : {std::pair{5001, 2000}, std::pair{5001, 2001}, std::pair{5001, 2001}, std::pair{5002, 2002},
                               std::pair{5004, 2000}})
        run("insert into endereco_animal (Id_Animal, Id_Endereco) values (:p0, :p1)", {a, e});
    const char *group = "insert into Grupo_Animal_Animal (Id_Grupo_Animal_Animal, Id_Grupo_Animal, Id_Animal, Dt_Entrada_Grupo) "
                        "values (:p0, :p1, :p2, :p3)";
    run(group, {1, 902, 5001, QDateTime(QDate(2019, 1, 1), QTime(0, 0))});
    run(group, {2, 901, 5001, QDateTime(QDate(2021, 6, 1), QTime(0, 0))});
}

} // namespace UtilityFixture
