-- Demonstration data for the electronic-invoice database (load after xml_norva.sql).
-- A small food and household wholesaler from Modena with a few customers (one public
-- administration, one foreign buyer), suppliers, warehouse articles, four issued documents
-- with their lines (one delivered, one rejected by the exchange system, one sent and not yet
-- answered, one still to send) and two received purchase invoices.
-- azienda.path holds the relative folder out/xml/ (the application runs from the project
-- folder); ./run replaces it with the absolute folder when it loads this file.
-- Amount texts are written as the application writes them: decimal comma, no currency sign.

SET NAMES utf8mb4;

INSERT INTO azienda (codice, rag_soc, p_iva, cod_fis, reg_fisc, indirizzo, cap, comune, prov, nazione,
                     uff_rea, num_rea, capit_soc, soc_uni, stato_liq, mail, telefono, path, iban) VALUES
(1, 'Norva Alimentari S.r.l.', '03184520363', '03184520363', 'RF01', 'Via Emilia Ovest 112', '41123', 'Modena', 'MO', 'IT',
 'MO', '371542', '20000,00', 'SM', 'LN', 'amministrazione@norvaalimentari.it', '059 8764321', 'out/xml/',
 'IT60X0542811101000000123456');

INSERT INTO clienti (id, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec,
                     dest_soc, dest_comune, dest_indir, dest_cap) VALUES
(1, 'Supermercati Rossi S.p.A.', 'Via Stalingrado 87', 'Bologna', '40128', 'BO', 'IT', '00987650371', '00987650371',
 'M5UXCR1', 'amministrazione@pec.supermercatirossi.it',
 'Supermercati Rossi - PV Casalecchio', 'Casalecchio di Reno', 'Via Porrettana 320', '40033'),
(2, 'Comune di Castelfranco Emilia', 'Piazza della Vittoria 8', 'Castelfranco Emilia', '41013', 'MO', 'IT', '00938210366',
 '00938210366', 'UF8RTQ', 'comune.castelfranco-emilia@cert.provincia.mo.it', NULL, NULL, NULL, NULL),
(3, 'Bar Centrale di Bianchi Marco', 'Via dell''Indipendenza 12', 'Bologna', '40121', 'BO', 'IT', '01542980378',
 'BNCMRC80A01F257O', '0000000', 'barcentrale.bianchi@pec.it', NULL, NULL, NULL, NULL),
(4, 'Distribuciones Garcia S.L.', 'Calle de Alcala 250', 'Madrid', '28027', '', 'ES', 'B86543210', '', 'XXXXXXX', '',
 'Distribuciones Garcia - Almacen', 'Madrid', 'Calle de Alcala 250', '28027'),
(5, 'Alimentari Ferri di Ferri Luca', 'Via Emilia 215', 'San Lazzaro di Savena', '40068', 'BO', 'IT', '00412360372',
 'FRRLCU75M12F257W', 'KRRH6B9', 'alimentariferri@pec.it', NULL, NULL, NULL, NULL);

INSERT INTO fornitori (id, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_destinatario, pec) VALUES
(1, 'Oleificio Sabino S.r.l.', 'Via Salaria per Roma 41', 'Rieti', '02100', 'RI', 'IT', '01532690573', '01532690573',
 'T04ZHR3', 'oleificiosabino@legalmail.it'),
(2, 'Cartiera Veneta S.p.A.', 'Via della Stazione 6', 'Mira', '30034', 'VE', 'IT', '02876140274', '02876140274',
 'SUBM70N', 'cartieraveneta@pec.it'),
(3, 'Trasporti Emiliani S.n.c.', 'Via Faentina 175', 'Ravenna', '48124', 'RA', 'IT', '02165470390', '02165470390',
 '0000000', 'trasportiemiliani@pec.it');

-- Prices as the article screen writes them (thousands separator, three decimals).
INSERT INTO magazzino (id, descrizione, codice_tipo, codice_val, esistenza, um, prezzo_unit, sc_tipo, sc_perc, sc_importo,
                       prezzo_tot, costo_unit, sc_costo_tipo, sc_costo_perc, sc_costo_importo, costo_tot, aliquota) VALUES
(1, 'Olio extravergine di oliva 1 l', 'INTERNO', 'OLIO01', '240', 'PZ', '8,500', NULL, '', '', '8,500',
 '5,800', NULL, '', '', '5,800', '4'),
(2, 'Pasta di semola di grano duro 500 g', 'INTERNO', 'PASTA05', '1.200', 'PZ', '1,250', NULL, '', '', '1,250',
 '0,780', NULL, '', '', '0,780', '4'),
(3, 'Detergente piatti 1 l', 'INTERNO', 'DETPI1', '180', 'PZ', '2,500', 'SC', '10,0', '0,25', '2,250',
 '1,600', 'SC', '5,00', '0,08', '1,520', '22'),
(4, 'Risma carta A4 80 g', 'INTERNO', 'CARTA80', '75', 'PZ', '3,900', NULL, '', '', '3,900',
 '2,600', NULL, '', '', '2,600', '22'),
(5, 'Toner stampante laser nero', 'INTERNO', 'TONER12', '8', 'PZ', '65,000', NULL, '', '', '65,000',
 '40,000', NULL, '', '', '40,000', '22'),
(6, 'Parmigiano Reggiano DOP 24 mesi', 'INTERNO', 'PARM24', '150', 'KG', '14,500', NULL, '', '', '14,500',
 '11,200', NULL, '', '', '11,200', '4'),
(7, 'Affettatrice professionale 300 mm', 'INTERNO', 'AFF300', '2', 'PZ', '1.250,000', 'SC', '8,00', '100,00', '1.150,000',
 '890,000', NULL, '', '', '890,000', '22'),
(8, 'Shopper in carta', 'INTERNO', 'SHOP01', '2.000', 'PZ', '0,250', NULL, '', '', '0,250',
 '0,120', NULL, '', '', '0,120', '22');

-- Issued documents. The VAT buckets and totals are those the totals computation gives for the lines below.
INSERT INTO testata (id_invio, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_dest, pec,
                     data_doc, num_doc, tot_doc, tipo_doc, tipo_pag, mod_pag, n_rate, scad1, scad2,
                     spese, arrot, imponibile, imposta, aliquota, imponibile2, imposta2, aliquota2,
                     esig_iva, esig_iva2, nome_file, sc_tipo, sc_perc, sc_importo, spese2, arrot2,
                     natura, normativa, tot_omaggio, tot_omaggio2, trasporto, inviata,
                     dest_soc, dest_comune, dest_indir, dest_cap, porto, aspetto, colli, causale,
                     imponibile3, imposta3, aliquota3, esig_iva3, spese3, arrot3,
                     imponibile4, imposta4, aliquota4) VALUES
-- 1: invoice with two VAT rates and a free-of-charge line, already sent
(1, 'Supermercati Rossi S.p.A.', 'Via Stalingrado 87', 'Bologna', '40128', 'BO', 'IT', '00987650371', '00987650371',
 'M5UXCR1', 'amministrazione@pec.supermercatirossi.it',
 '12/01/2026', '1', '174,44', 'TD01', 'TP02', 'MP05', 0, NULL, NULL,
 '0,00', '0,00', '135,00', '5,40', '4', '27,00', '7,04', '22',
 'I', 'I', 'IT03184520363_00001.xml', NULL, NULL, '0,00', '0,00', '0,00',
 NULL, NULL, '0,00', '5,00', 'Vettore', 1,
 'Supermercati Rossi - PV Casalecchio', 'Casalecchio di Reno', 'Via Porrettana 320', '40033', 'Franco', 'Cartoni, Imballi', '6', 'Vendita',
 '', '', '', 'I', '0,00', '0,00',
 '', '', ''),
-- 2: public administration (six-character recipient code), split payment, purchase-order reference
(2, 'Comune di Castelfranco Emilia', 'Piazza della Vittoria 8', 'Castelfranco Emilia', '41013', 'MO', 'IT', '00938210366',
 '00938210366', 'UF8RTQ', 'comune.castelfranco-emilia@cert.provincia.mo.it',
 '20/01/2026', '2', '396,50', 'TD01', 'TP02', 'MP05', 0, NULL, NULL,
 '0,00', '0,00', '325,00', '71,50', '22', '', '', '',
 'S', 'I', NULL, NULL, NULL, '0,00', '0,00', '0,00',
 NULL, NULL, '0,00', NULL, 'Vettore', 0,
 NULL, NULL, NULL, NULL, 'Franco', 'Cartoni, Imballi', '2', 'Vendita',
 '', '', '', 'I', '0,00', '0,00',
 '', '', ''),
-- 3: credit note, sent and rejected by the exchange system (see notifiche_sdi below): its sent
--    flag was taken back, so it can be corrected and sent again under a new file name
(3, 'Bar Centrale di Bianchi Marco', 'Via dell''Indipendenza 12', 'Bologna', '40121', 'BO', 'IT', '01542980378',
 'BNCMRC80A01F257O', '0000000', 'barcentrale.bianchi@pec.it',
 '02/02/2026', '3', '17,68', 'TD04', 'TP02', 'MP01', 0, NULL, NULL,
 '0,00', '0,00', '17,00', '0,68', '4', '', '', '',
 'I', 'I', 'IT03184520363_00003.xml', NULL, NULL, '0,00', '0,00', '0,00',
 NULL, NULL, '0,00', NULL, 'Vettore', 0,
 NULL, NULL, NULL, NULL, 'Franco', 'Cartoni, Imballi', '', 'Reso',
 '', '', '', 'I', '0,00', '0,00',
 '', '', ''),
-- 4: foreign buyer, not subject to Italian VAT, two instalments, 5 % header discount; sent, no
--    answer of the exchange system yet
(4, 'Distribuciones Garcia S.L.', 'Calle de Alcala 250', 'Madrid', '28027', '', 'ES', 'B86543210', '', 'XXXXXXX', '',
 '10/02/2026', '4', '559,17', 'TD01', 'TP01', 'MP05', 2, '10/03/26', '10/04/26',
 '0,00', '0,00', '588,60', '0,00', '0', '', '', '',
 '', '', 'IT03184520363_00004.xml', 'SC', '5,00', '29,43', '0,00', '0,00',
 'N3.2', 'Non Soggetta', '0,00', NULL, 'Vettore', 1,
 'Distribuciones Garcia - Almacen', 'Madrid', 'Calle de Alcala 250', '28027', 'Franco', 'Cartoni, Imballi', '12', 'Vendita',
 '', '', '', '', '0,00', '0,00',
 '', '', '');

INSERT INTO dettaglio (id_invio, prog, codice_tipo, codice_val, descrizione, quantita, um, prezzo_unit,
                       sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota, tipo_cessione, ritenuta, natura, rif_amm,
                       categoria, lotto, origine) VALUES
(1, 1, 'INTERNO', 'OLIO01', 'Olio extravergine di oliva 1 l', '10,00', 'PZ', '8,500',
 NULL, NULL, NULL, '85,000', '4', NULL, '', NULL, NULL, 'ALI', 'L25318', 'Italia'),
(1, 2, 'INTERNO', 'PASTA05', 'Pasta di semola di grano duro 500 g', '40,00', 'PZ', '1,250',
 NULL, NULL, NULL, '50,000', '4', NULL, '', NULL, NULL, 'ALI', NULL, NULL),
(1, 3, 'INTERNO', 'DETPI1', 'Detergente piatti 1 l', '12,00', 'PZ', '2,500',
 'SC', '10,00', '3,00', '27,000', '22', NULL, '', NULL, NULL, 'DET', NULL, NULL),
(1, 4, 'INTERNO', 'SHOP01', 'Shopper in carta (omaggio)', '20,00', 'PZ', '0,250',
 NULL, NULL, NULL, '5,000', '22', 'SC', '', NULL, NULL, NULL, NULL, NULL),
(2, 1, 'INTERNO', 'CARTA80', 'Risma carta A4 80 g', '50,00', 'PZ', '3,900',
 NULL, NULL, NULL, '195,000', '22', NULL, '', NULL, 'DET-2026-0042', 'CAR', NULL, NULL),
(2, 2, 'INTERNO', 'TONER12', 'Toner stampante laser nero', '2,00', 'PZ', '65,000',
 NULL, NULL, NULL, '130,000', '22', NULL, '', NULL, 'DET-2026-0042', 'CAR', NULL, NULL),
(3, 1, 'INTERNO', 'OLIO01', 'Reso olio extravergine di oliva 1 l (confezione danneggiata)', '2,00', 'PZ', '8,500',
 NULL, NULL, NULL, '17,000', '4', NULL, '', NULL, NULL, 'ALI', 'L25318', 'Italia'),
(4, 1, 'INTERNO', 'PARM24', 'Parmigiano Reggiano DOP 24 mesi', '30,00', 'KG', '14,500',
 NULL, NULL, NULL, '435,000', '0', NULL, '', 'N3.2', NULL, 'ALI', 'PR2408', 'Italia'),
(4, 2, 'INTERNO', 'ACETO25', 'Aceto balsamico di Modena IGP 250 ml', '48,00', 'PZ', '3,200',
 NULL, NULL, NULL, '153,600', '0', NULL, '', 'N3.2', NULL, 'ALI', NULL, 'Italia');

-- The exchange system's answers: invoice 1 delivered, invoice 3 rejected with two errors.
INSERT INTO notifiche_sdi (id_invio, nome_file, tipo, id_sdi, message_id, data_ora, esito, errori, descrizione,
                           file_messaggio) VALUES
(1, 'IT03184520363_00001.xml', 'RC', '8840213377', '5402117', '2026-01-12T16:40:21.000+01:00', NULL, NULL,
 'Supermercati Rossi S.p.A.', 'IT03184520363_00001_RC_001.xml'),
(3, 'IT03184520363_00003.xml', 'NS', '8862401198', '5466032', '2026-02-02T11:05:47.000+01:00', NULL,
 '00419 2.2.2 <DatiRiepilogo> non presente in corrispondenza di almeno un valore di 2.2.1.12 <AliquotaIVA>\n00423 2.2.1.11 <PrezzoTotale> non calcolato secondo le regole definite nelle specifiche tecniche',
 NULL, 'IT03184520363_00003_NS_001.xml');

-- Purchase order of the public administration, written into invoice 2's file.
INSERT INTO test_dati (id_invio, tipo) VALUES (2, 'DatiOrdineAcquisto');
INSERT INTO dati_acquisto (id_invio, tipo, n_linea, id_documento, data, numero, cod_comm, cup, cig) VALUES
(2, 'DatiOrdineAcquisto', 1, 'DET-2026-0042', '14/01/2026', '1', 'Forniture cancelleria 2026', 'J41B26000120004', 'Z8F3A91C2E');

-- Received purchase invoices, as the loading script stores them.
INSERT INTO test_car (prot, rag_soc, indirizzo, comune, cap, prov, nazione, p_iva, cod_fis, cod_destinatario, pec,
                      data_doc, num_doc, tot_doc, tipo_doc, tipo_pag, mod_pag, n_rate, scad1, scad2,
                      spese, arrot, imponibile, imposta, aliquota, imponibile2, imposta2, aliquota2,
                      esig_iva, esig_iva2, nome_file, spese2, arrot2, imp_scad1, imp_scad2) VALUES
(1, 'Oleificio Sabino S.r.l.', 'Via Salaria per Roma 41', 'Rieti', '02100', 'RI', 'IT', '01532690573', '01532690573',
 'T04ZHR3', 'oleificiosabino@legalmail.it',
 '08/01/2026', '45/2026', '723,84', 'TD01', 'TP02', 'MP05', 1, '07/02/2026', NULL,
 '0,00', '0,00', '696,00', '27,84', '4,00', NULL, NULL, NULL,
 'I', NULL, 'IT01532690573_00a1F.xml', '0,00', '0,00', '723,84', NULL),
(2, 'Cartiera Veneta S.p.A.', 'Via della Stazione 6', 'Mira', '30034', 'VE', 'IT', '02876140274', '02876140274',
 'SUBM70N', 'cartieraveneta@pec.it',
 '15/01/2026', 'FT/0123', '829,60', 'TD01', 'TP01', 'MP05', 2, '14/02/2026', '16/03/2026',
 '0,00', '0,00', '680,00', '149,60', '22,00', NULL, NULL, NULL,
 'I', NULL, 'IT02876140274_01bX7.xml', '0,00', '0,00', '414,80', '414,80');

INSERT INTO dett_car (prot_car, prog, codice_tipo, codice_val, descrizione, quantita, um, prezzo_unit,
                      sc_tipo, sc_perc, sc_importo, prezzo_tot, aliquota, tipo_cessione, ritenuta, natura, rif_amm) VALUES
(1, 1, 'CODICE', 'EVO1L', 'Olio extravergine di oliva 1 l', '120,00', 'PZ', '5,80',
 NULL, NULL, NULL, '696,00', '4,00', NULL, NULL, NULL, NULL),
(2, 1, 'CODICE', 'A480', 'Carta A4 80 g risma 500 fogli', '200,00', 'PZ', '2,60',
 NULL, NULL, NULL, '520,00', '22,00', NULL, NULL, NULL, NULL),
(2, 2, 'CODICE', 'TN12K', 'Toner laser nero 12.000 pagine', '4,00', 'PZ', '40,00',
 NULL, NULL, NULL, '160,00', '22,00', NULL, NULL, NULL, NULL);
