#pragma once

class QMainWindow;
class Session;
class TProgression;
class TAboutBox;
class TRecherche_De_Cartes;
class TEvaluation;
class TInventaire;
class TMultiples;
class TChoixEdition;
class TVisualisation;
class TFrm_Rechercher;
class TResultatRecherche;
class TMiseAJour;
class TImportation;

// The windows of the program: each created once at start-up, in a fixed
// order, and kept until the end. A window calls another through here; a
// pointer stays null until its window is created.
struct Windows {
    Session *session = nullptr;
    QMainWindow *principale = nullptr; // the main window, known here only as a main window
    TProgression *progression = nullptr;
    TAboutBox *aboutBox = nullptr;
    TRecherche_De_Cartes *rechercheDeCartes = nullptr;
    TEvaluation *evaluation = nullptr;
    TInventaire *inventaire = nullptr;
    TMultiples *multiples = nullptr;
    TChoixEdition *choixEdition = nullptr;
    TVisualisation *visualisation = nullptr;
    TFrm_Rechercher *frmRechercher = nullptr;
    TResultatRecherche *resultatRecherche = nullptr;
    TMiseAJour *miseAJour = nullptr;
    TImportation *importation = nullptr;
};

Windows &windows();
