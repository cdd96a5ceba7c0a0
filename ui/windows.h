#pragma once

#include <QString>

#include <functional>

class QMainWindow;
class Session;
class TProgression;
class TAboutBox;
class TRecherche_De_Cartes;
class TAnalyse;
class TAnalyse_Defilement;
class TEvaluation;
class TInventaire;
class TMultiples;
class TChoixEdition;
class TVisualisation;
class TSeuil;
class TEchange;
class TFrm_Rechercher;
class TResultatRecherche;
class TMiseAJour;
class TImportation;
class TImportCsv;
class TRapportCsv;
class TRestauration;
class TCompletude;

// The windows of the program: each created once at start-up, in a fixed
// order, and kept until the end. A window calls another through here; a
// pointer stays null until its window is created.
struct Windows {
    Session *session = nullptr;
    QMainWindow *principale = nullptr; // the main window, known here only as a main window
    TProgression *progression = nullptr;
    TAboutBox *aboutBox = nullptr;
    TRecherche_De_Cartes *rechercheDeCartes = nullptr;
    TAnalyse *analyse = nullptr;
    TAnalyse_Defilement *analyseDefilement = nullptr;
    TEvaluation *evaluation = nullptr;
    TInventaire *inventaire = nullptr;
    TMultiples *multiples = nullptr;
    TEchange *echange = nullptr;
    TChoixEdition *choixEdition = nullptr;
    TSeuil *seuil = nullptr;
    TVisualisation *visualisation = nullptr;
    TFrm_Rechercher *frmRechercher = nullptr;
    TResultatRecherche *resultatRecherche = nullptr;
    TMiseAJour *miseAJour = nullptr;
    TImportation *importation = nullptr;
    TImportCsv *importCsv = nullptr;   // the import of a CSV file
    TRapportCsv *rapportCsv = nullptr; // and its report
    TRestauration *restauration = nullptr; // the backups of the card table
    TCompletude *completude = nullptr;     // completion by edition
    // Makes `edition` the edition selection, as the main menu's "&Selection"
    // does (card entry lists, check mark), for windows below the main one.
    std::function<void(const QString &edition)> selectEdition;
};

Windows &windows();
